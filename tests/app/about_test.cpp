// The About panel's template in pixels, and its procedure.
#include "shell_harness.h"

#include "app/about_panel.h"
#include "app/app_window.h"

namespace {

::testing::AssertionResult rectIs(PixelRect r, int x, int y, int width, int height) {
    if (r.x == x && r.y == y && r.width == width && r.height == height) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "(" << r.x << ", " << r.y << ") " << r.width << " x " << r.height << ", expected ("
           << x << ", " << y << ") " << width << " x " << height;
}

const AboutControl& control(AboutControlKind kind, const char* text = nullptr) {
    for (const AboutControl& c : aboutControls) {
        if (c.kind == kind && (text == nullptr || std::string(c.text) == text)) {
            return c;
        }
    }
    throw std::runtime_error("no such control");
}

} // namespace

TEST(AboutLayout, DialogUnitsBecomePixelsByTheirCornersRoundedHalfAway) {
    EXPECT_TRUE(rectIs(dialogUnitsToPixels(0, 0, 250, 220), 0, 0, 375, 358));
    // 155 * 1.5 = 232.5 and 199 * 1.625 = 323.375; the right and bottom edges map separately.
    EXPECT_TRUE(rectIs(aboutControlRect(control(AboutControlKind::Button)), 233, 323, 115, 23));
    EXPECT_TRUE(
        rectIs(aboutControlRect(control(AboutControlKind::Text, "Velmora Demo")), 11, 11, 96, 13));
}

TEST(AboutLayout, PicturesKeepTheirNaturalSizes) {
    EXPECT_TRUE(rectIs(aboutControlRect(control(AboutControlKind::Bitmap)), 26, 67, 322, 243));
    EXPECT_TRUE(rectIs(aboutControlRect(control(AboutControlKind::Icon)), 167, 20, 32, 32));
}

TEST(AboutLayout, EveryControlLiesInsideThePanelAndThePictureClearsTheButton) {
    PixelRect panel = dialogUnitsToPixels(0, 0, aboutDialogUnitsWidth, aboutDialogUnitsHeight);
    for (const AboutControl& c : aboutControls) {
        PixelRect r = aboutControlRect(c);
        EXPECT_GE(r.x, 0);
        EXPECT_GE(r.y, 0);
        EXPECT_LE(r.x + r.width, panel.width);
        EXPECT_LE(r.y + r.height, panel.height);
    }
    PixelRect picture = aboutControlRect(control(AboutControlKind::Bitmap));
    PixelRect button = aboutControlRect(control(AboutControlKind::Button));
    EXPECT_LT(picture.y + picture.height, button.y);
}

TEST_F(ShellTest, TheAboutProcedureHidesThePanelOnOkAndOnClose) {
    ASSERT_TRUE(createAppWindow("Velmora Demo", 800, 400, 16));
    createAboutPanel();
    ASSERT_NE(aboutDialog, nullptr);
    EXPECT_FALSE(aboutPanelVisible());
    EXPECT_EQ(aboutDialogProc(aboutDialog, WM_INITDIALOG, 0, 0), 1);
    showAboutPanel();
    EXPECT_TRUE(aboutPanelVisible());
    EXPECT_TRUE(aboutPanelHasFocus());
    EXPECT_EQ(aboutDialogProc(aboutDialog, WM_COMMAND, 2, 0), 0);
    EXPECT_TRUE(aboutPanelVisible());
    EXPECT_EQ(aboutDialogProc(aboutDialog, WM_COMMAND, IDOK, 0), 1);
    EXPECT_FALSE(aboutPanelVisible());
    EXPECT_EQ(platformDialogResult(aboutDialog), 1);
    EXPECT_EQ(platformGetFocus(), mainWindow);
    showAboutPanel();
    EXPECT_EQ(aboutDialogProc(aboutDialog, WM_CLOSE, 0x10007, 0), 0);
    EXPECT_FALSE(aboutPanelVisible());
    EXPECT_EQ(platformDialogResult(aboutDialog), 7);
    EXPECT_EQ(aboutDialogProc(aboutDialog, WM_KEYDOWN, 'C', 0), 0);
}
