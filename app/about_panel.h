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

#include "platform/messages.h"

struct PixelRect {
    int x;
    int y;
    int width;
    int height;
};

enum class AboutControlKind { Button, Text, Bitmap, Icon };

struct AboutControl {
    AboutControlKind kind;
    int id;
    const char* text;
    // Dialog units.
    int x, y, width, height;
};

constexpr int aboutDialogUnitsWidth = 250;
constexpr int aboutDialogUnitsHeight = 220;
constexpr int aboutControlCount = 7;
extern const AboutControl aboutControls[aboutControlCount];

// Dialog units to client pixels of the panel.
PixelRect dialogUnitsToPixels(int x, int y, int width, int height);
// The rectangle a control occupies, after a picture control sized itself to its image.
PixelRect aboutControlRect(const AboutControl& control);

// The About dialog's procedure: the OK command and the close request hide it.
LResult aboutDialogProc(WindowHandle dialog, std::uint32_t message, WParam wParam, LParam lParam);

// Creates the hidden panel owned by mainWindow and stores it in aboutDialog.
void createAboutPanel();
// Shows the panel and gives it the keyboard focus (F1).
void showAboutPanel();
bool aboutPanelVisible();
bool aboutPanelHasFocus();
