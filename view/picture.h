// Frames read back from the GL and written as PNG files.
#pragma once

#include <string>
#include <vector>

// Top row first, `channels` bytes a pixel.
struct FramePixels {
    int width = 0;
    int height = 0;
    int channels = 3;
    std::vector<unsigned char> data;
};

// The lower-left width x height pixels of the back buffer. With `transparentBackground`, RGBA
// with alpha 0 (and black) wherever the depth buffer still holds its clear value of 1, which is
// where neither pass drew: the model's fill and outline both write depth, the background never.
FramePixels readFrame(int width, int height, bool transparentBackground);

// false with the file and the system's reason in `error`.
bool writePng(const std::string& path, const FramePixels& frame, std::string* error);

// F12, as the demo does it: velmora-YYYYMMDD-HHMMSS.png (local time) in the working directory,
// "-2", "-3", ... before the extension when the name is taken, never overwriting a file.
// Returns the note for the status bar: where it went, or why it failed.
std::string saveScreenshot(const FramePixels& frame);
