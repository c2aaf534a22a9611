// The About panel: a modeless dialog inside the main window, created hidden, shown by F1,
// hidden again by its "Alright!" button or its close box.
//
// Its template is laid out in dialog units (250 x 220) and mapped to pixels at 1.5 px per
// horizontal and 1.625 px per vertical unit, each rectangle by its corners and rounded half
// away from zero. The picture (bitmap 105, 320 x 241) and the icon (101, 32 x 32) keep their
// natural sizes, as static picture controls size themselves to their image. The panel's title
// bar lies above the template's client area; the texts are drawn unclipped (the bundled font is
// wider than the template's).
#pragma once

#include "shell/shell.h"

enum class AboutControlKind { Button, Text, Bitmap, Icon };

struct AboutControl {
    AboutControlKind kind;
    const char* text;
    // Dialog units.
    int x, y, width, height;
};

constexpr int aboutDialogUnitsWidth = 250;
constexpr int aboutDialogUnitsHeight = 220;
constexpr int aboutControlCount = 7;
extern const AboutControl aboutControls[aboutControlCount];

// Dialog units to client pixels of the panel.
Rect dialogUnitsToPixels(int x, int y, int width, int height);
// The rectangle a control occupies, after a picture control sized itself to its image.
Rect aboutControlRect(const AboutControl& control);

// Creates the hidden panel at the top-left of the client area.
void createAboutPanel();
// Shows the panel and gives it the keyboard focus (F1).
void showAboutPanel();
// Hides the panel ("Alright!" or the close box); it stays alive so F1 can show it again, and the
// keyboard focus goes back to the main window if the panel had it. Keys and mouse messages
// addressed to the panel do nothing else.
void endAboutPanel();
