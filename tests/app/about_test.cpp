// The About panel's template in pixels, and showing and hiding it.
#include "shell_harness.h"

#include "app/about_panel.h"

#include <stdexcept>

namespace {

const AboutControl& control(AboutControlKind kind, const char* text = nullptr) {
    for (const AboutControl& c : aboutControls) {
        if (c.kind == kind && (text == nullptr || std::string(c.text) == text)) {
            return c;
        }
    }
    throw std::runtime_error("no such control");
}

} // namespace

TEST(AboutLayout, ControlsBecomePixelsByTheirCornersRoundedHalfAwayAndPicturesKeepTheirSize) {
    EXPECT_TRUE(rectIs(dialogUnitsToPixels(0, 0, 250, 220), Rect{0, 0, 375, 358}));
    const struct {
        AboutControlKind kind;
        const char* text;
        Rect pixels;
    } cases[] = {
        // 155 * 1.5 = 232.5 and 199 * 1.625 = 323.375; the right and bottom edges map apart.
        {AboutControlKind::Button, nullptr, {233, 323, 115, 23}},
        {AboutControlKind::Text, "Velmora Demo", {11, 11, 96, 13}},
        {AboutControlKind::Bitmap, nullptr, {26, 67, 322, 243}},
        {AboutControlKind::Icon, nullptr, {167, 20, 32, 32}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        EXPECT_TRUE(rectIs(aboutControlRect(control(c.kind, c.text)), c.pixels));
    }
}

TEST(AboutLayout, EveryControlLiesInsideThePanelAndThePictureClearsTheButton) {
    Rect panel = dialogUnitsToPixels(0, 0, aboutDialogUnitsWidth, aboutDialogUnitsHeight);
    for (const AboutControl& c : aboutControls) {
        Rect r = aboutControlRect(c);
        EXPECT_GE(r.x, 0);
        EXPECT_GE(r.y, 0);
        EXPECT_LE(r.x + r.width, panel.width);
        EXPECT_LE(r.y + r.height, panel.height);
    }
    Rect picture = aboutControlRect(control(AboutControlKind::Bitmap));
    Rect button = aboutControlRect(control(AboutControlKind::Button));
    EXPECT_LT(picture.y + picture.height, button.y);
}

TEST_F(ShellTest, ThePanelHidesWithItsResultAndGivesTheKeysBackToTheMainWindow) {
    open();
    EXPECT_FALSE(shell.aboutVisible);
    for (int result : {1, 0}) {
        SCOPED_TRACE(result);
        shell.aboutResult = -1;
        showAboutPanel();
        EXPECT_TRUE(shell.aboutVisible);
        EXPECT_EQ(shell.focus, Target::Panel);
        // Keys addressed to the panel reach nothing else.
        shellDispatchMessage(Message{Target::Panel, Event{EventType::KeyDown, 'C'}});
        EXPECT_FALSE(shell.keyTable['C']);
        EXPECT_TRUE(shell.aboutVisible);
        endAboutPanel(result);
        EXPECT_FALSE(shell.aboutVisible);
        EXPECT_EQ(shell.aboutResult, result);
        EXPECT_EQ(shell.focus, Target::Main);
    }
}
