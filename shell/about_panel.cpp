#include "shell/about_panel.h"

const AboutControl aboutControls[aboutControlCount] = {
    {AboutControlKind::Button, "Alright!", 155, 199, 77, 14},
    {AboutControlKind::Text, "Velmora Demo", 7, 7, 64, 8},
    {AboutControlKind::Text, "Oren Kinsel", 17, 25, 73, 8},
    {AboutControlKind::Text, "Delan Tarrow", 178, 25, 54, 10},
    {AboutControlKind::Bitmap, nullptr, 17, 41, 215, 150},
    {AboutControlKind::Text, "Last Version: 26.01.2004", 18, 198, 82, 8},
    {AboutControlKind::Icon, nullptr, 111, 12, 20, 20},
};

namespace {

// a * b / c rounded half away from zero, for non-negative a and positive b, c.
int mulDiv(int a, int b, int c) {
    return (2 * a * b + c) / (2 * c);
}

int horizontalPixels(int units) {
    return mulDiv(units, 6, 4);
}
int verticalPixels(int units) {
    return mulDiv(units, 13, 8);
}

constexpr int bitmapWidth = 320;
constexpr int bitmapHeight = 241;
constexpr int iconSize = 32;

} // namespace

Rect dialogUnitsToPixels(int x, int y, int width, int height) {
    int left = horizontalPixels(x);
    int top = verticalPixels(y);
    return Rect{left, top, horizontalPixels(x + width) - left, verticalPixels(y + height) - top};
}

Rect aboutControlRect(const AboutControl& control) {
    Rect r = dialogUnitsToPixels(control.x, control.y, control.width, control.height);
    if (control.kind == AboutControlKind::Bitmap) {
        // The picture plus its one-pixel border.
        r.width = bitmapWidth + 2;
        r.height = bitmapHeight + 2;
    } else if (control.kind == AboutControlKind::Icon) {
        r.width = iconSize;
        r.height = iconSize;
    }
    return r;
}

void createAboutPanel() {
    shell.aboutCreated = true;
    shell.aboutVisible = false;
    // The title bar is added when the overlay first lays the panel out.
    shell.aboutRect = dialogUnitsToPixels(0, 0, aboutDialogUnitsWidth, aboutDialogUnitsHeight);
}

void showAboutPanel() {
    if (shell.aboutCreated) {
        shell.aboutVisible = true;
        shellSetFocus(Target::Panel);
    }
}

void endAboutPanel() {
    shell.aboutVisible = false;
    if (shell.focus == Target::Panel) {
        shellSetFocus(Target::Main);
    }
}
