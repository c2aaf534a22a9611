// The status bar strip and the About panel, drawn with Dear ImGui over the scene each frame.
//
// ImGui draws both straight from the shell's state (texts, panel visible, focus) and is fed from
// the shell's own messages (as the loop removes them), not from SDL, so scripted input moves it
// exactly as real input does. The font is ImGui's built-in ProggyClean at 13 px and nothing is
// read from or written to disk, so frames are the same on every machine. Without a current GL
// context (the null platform) the panels are laid out and take input, but nothing is drawn.
#pragma once

#include "shell/shell.h"

// A message the loop removed, before it is dispatched.
void overlayObserveMessage(const Message& message);
// Lays out and draws the status bar and, when visible, the About panel into the back buffer;
// GL state is left as it was. Starts the overlay on first use.
void overlayDrawFrame();
// Releases ImGui and the overlay's textures (needs the context current that drew them).
void overlayShutdown();
