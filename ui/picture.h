// Pictures of the back buffer, read once here for the demo's F12, the viewer and capture, and
// written as PNG files.
#pragma once

#include <string>
#include <vector>

struct FramePixels {
    std::vector<unsigned char> data; // top row first, `channels` bytes a pixel
    int width = 0;
    int height = 0;
    int channels = 3;
};

// The lower-left width x height pixels of the back buffer (both at least 0). With
// `transparentBackground`, RGBA with alpha 0 (and black) wherever the depth buffer still holds
// its clear value of 1, which is where neither pass drew: the model's fill and outline both
// write depth, the background never.
FramePixels readBackBuffer(int width, int height, bool transparentBackground);

// false with the file and the system's reason in `error`; no file is left behind then.
bool writePng(const std::string& path, const FramePixels& frame, std::string* error);

// F12: velmora-YYYYMMDD-HHMMSS.png (local time) in the working directory, "-2" up to "-999"
// before the extension when the name is taken; the name is claimed atomically, so no file is
// ever overwritten. Returns the status bar's text: "Saved NAME", or why it failed.
std::string saveScreenshot(const FramePixels& frame);
