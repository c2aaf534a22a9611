// Creating and releasing the window and its context, with each step failing in turn.
#include "shell_harness.h"

#include "app/app_window.h"

#include <optional>

namespace {

void expectNothingLeft() {
    const NullPlatform& p = nullPlatform();
    EXPECT_FALSE(p.window);
    EXPECT_FALSE(p.context);
    EXPECT_FALSE(p.current);
    EXPECT_FALSE(shell.window);
    EXPECT_FALSE(shell.context);
}

} // namespace

TEST_F(ShellTest, EachFailingCreationStepShowsExactlyOneErrorBoxAndReleasesWhatExists) {
    const struct {
        std::optional<NullStep> step; // none: the scene's set-up fails
        const char* text;
    } cases[] = {
        {NullStep::ChooseFormat, "Can't Find A Suitable PixelFormat."},
        {NullStep::CreateWindow, "Window Creation Error."},
        {NullStep::CreateContext, "Can't Create A GL Rendering Context."},
        {NullStep::MakeCurrent, "Can't Activate The GL Rendering Context."},
        {std::nullopt, "Initialization Failed."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TearDown();
        SetUp();
        if (c.step) {
            nullPlatform().fail[static_cast<int>(*c.step)] = true;
        } else {
            sceneInitResult = false;
        }
        EXPECT_EQ(run(5), 0);
        EXPECT_EQ(turnsRun, 0);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "ERROR");
        EXPECT_EQ(boxes[0].text, c.text);
        EXPECT_EQ(boxes[0].icon, MessageBoxIcon::Exclamation);
        expectNothingLeft();
        EXPECT_EQ(count("init"), c.step ? 0 : 1);
    }
}

TEST_F(ShellTest, AFailingReleaseIsReportedAndTheReleaseGoesOn) {
    ASSERT_TRUE(createAppWindow("Velmora Demo", 800, 400, 16));
    nullPlatform().fail[static_cast<int>(NullStep::ReleaseCurrent)] = true;
    destroyAppWindow();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "SHUTDOWN ERROR");
    EXPECT_EQ(boxes[0].text, "Release Of DC And RC Failed.");
    EXPECT_EQ(boxes[0].icon, MessageBoxIcon::Information);
    expectNothingLeft();
}

TEST_F(ShellTest, DestroyingIsQuietTwiceAndANewWindowGetsNothingMeantForTheOldOne) {
    ASSERT_TRUE(createAppWindow("Velmora Demo", 800, 400, 16));
    EXPECT_TRUE(nullPlatform().shown);
    shellPostInput(Event{EventType::KeyDown, 'C'});
    destroyAppWindow();
    destroyAppWindow();
    EXPECT_TRUE(boxes.empty());
    expectNothingLeft();
    ASSERT_TRUE(createAppWindow("Velmora Demo", 800, 400, 16));
    EXPECT_EQ(drain(), std::vector<std::string>{});
}
