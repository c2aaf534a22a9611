// The status bar's three text parts: 0 the speed ("Speed: %f"), 1 the client size ("%d x %d"),
// 2 the frame rate ("FPS: %d Secs: %d").
//
// This is the model of the bar; the strip on screen is drawn from it every frame. The part
// edges are at 180, 300 and the window's right edge (-1), in client pixels.
#pragma once

constexpr int statusPartCount = 3;
constexpr int statusPartEdges[statusPartCount] = {180, 300, -1};

// Sets the text of one part; an out-of-range part is ignored. The text is copied.
void statusBarSetText(int part, const char* text);
// The text of one part ("" for an out-of-range part).
const char* statusBarText(int part);
// A new bar replaces the old one: every part starts empty again.
void statusBarRecreate();
