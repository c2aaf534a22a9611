// The loop and the window procedure driven by hand-made messages on the null window system.
#include "shell_harness.h"

#include "app/about_panel.h"
#include "app/app_window.h"
#include "app/shell_state.h"
#include "app/status_bar.h"
#include "app/window_proc.h"

namespace {

const TurnRecord& at(const std::vector<TurnRecord>& turns, std::int64_t turn) {
    return turns.at(static_cast<std::size_t>(turn - 1));
}

} // namespace

TEST_F(ShellTest, EveryTurnDrawsOneFrameAndPresentsIt) {
    EXPECT_EQ(run(5), 0);
    EXPECT_EQ(turnsRun, 5);
    EXPECT_EQ(count("init"), 1);
    EXPECT_EQ(count("draw"), 5);
    EXPECT_EQ(nullSystemState().swaps, 5);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ShellTest, HoldingCTogglesTheCameraOncePerPress) {
    keyDownAt(1, 'C'); // turn 1 the key, turn 2 its WM_CHAR, idle from turn 3
    keyUpAt(10, 'C');
    keyDownAt(12, 'C');
    run(20);
    EXPECT_FALSE(at(turns, 2).freeCamera);
    for (std::int64_t t = 3; t <= 13; ++t) {
        EXPECT_TRUE(at(turns, t).freeCamera) << "turn " << t;
    }
    for (std::int64_t t = 14; t <= 20; ++t) {
        EXPECT_FALSE(at(turns, t).freeCamera) << "turn " << t;
    }
}

TEST_F(ShellTest, HoldingPTogglesThePathOncePerPress) {
    keyDownAt(1, 'P');
    keyUpAt(6, 'P');
    keyDownAt(8, 'P');
    run(14);
    EXPECT_TRUE(at(turns, 3).showPath);
    EXPECT_TRUE(at(turns, 7).showPath);
    EXPECT_FALSE(at(turns, 10).showPath);
    EXPECT_FALSE(at(turns, 14).showPath);
}

TEST_F(ShellTest, F1ShowsTheAboutPanelOncePerPress) {
    keyDownAt(1, VK_F1); // no character: turn 2 is idle
    run(3);
    EXPECT_FALSE(at(turns, 1).aboutVisible);
    EXPECT_TRUE(at(turns, 2).aboutVisible);
    EXPECT_TRUE(at(turns, 2).aboutFocused);
}

TEST_F(ShellTest, F1HeldAfterTheAboutPanelClosedDoesNotShowItAgainUntilPressedAgain) {
    keyDownAt(1, VK_F1);
    actAt(4, [] { platformSendMessage(aboutDialog, WM_COMMAND, IDOK, 0); });
    // The release went to the panel; the next press reaches the main window again.
    keyUpAt(4, VK_F1);
    keyDownAt(8, VK_F1);
    run(10);
    EXPECT_TRUE(at(turns, 3).aboutVisible);
    EXPECT_FALSE(at(turns, 4).aboutVisible);
    EXPECT_FALSE(at(turns, 7).aboutVisible);
    EXPECT_TRUE(at(turns, 9).aboutVisible);
}

TEST_F(ShellTest, HoldingKeypadPlusDrivesTheSpeedToOneAndHoldsIt) {
    keyDownAt(1, VK_ADD); // turn 2 is the '+' character
    run(12);
    EXPECT_EQ(at(turns, 2).status[0], "");
    EXPECT_EQ(at(turns, 3).speedDivisor, 4.0f);
    EXPECT_EQ(at(turns, 3).status[0], "Speed: 0.250000");
    EXPECT_EQ(at(turns, 5).status[0], "Speed: 0.500000");
    EXPECT_EQ(at(turns, 6).speedDivisor, 1.0f);
    EXPECT_EQ(at(turns, 12).speedDivisor, 1.0f);
    EXPECT_EQ(at(turns, 12).status[0], "Speed: 1.000000");
}

TEST_F(ShellTest, HoldingKeypadMinusDrivesTheSpeedToATenthAndHoldsIt) {
    keyDownAt(1, VK_SUBTRACT);
    run(12);
    EXPECT_EQ(at(turns, 3).status[0], "Speed: 0.166667");
    EXPECT_EQ(at(turns, 7).speedDivisor, 10.0f);
    EXPECT_EQ(at(turns, 12).speedDivisor, 10.0f);
    EXPECT_EQ(at(turns, 12).status[0], "Speed: 0.100000");
}

TEST_F(ShellTest, TheSpeedTextIsWrittenAfterEveryStepAlsoWhenClamped) {
    speedDivisor = 1.0f;
    keyDownAt(1, VK_ADD);
    actAt(5, [] { statusBarSetText(0, "gone"); });
    run(5);
    EXPECT_EQ(speedDivisor, 1.0f);
    EXPECT_EQ(at(turns, 5).status[0], "Speed: 1.000000");
}

TEST_F(ShellTest, TheInitialSpeedTextReadsOneFifth) {
    writeSpeedText();
    EXPECT_STREQ(statusBarText(0), "Speed: 0.200000");
}

TEST_F(ShellTest, ArrowKeysMoveTheCameraInTheListedOrderOnEveryIdleTurn) {
    keyDownAt(1, VK_RIGHT);
    keyDownAt(1, VK_LEFT);
    keyDownAt(1, VK_DOWN);
    keyDownAt(1, VK_UP);
    run(6);
    EXPECT_EQ(sceneCallsBetween(1, 4), (std::vector<std::string>{"draw", "draw", "draw", "draw"}));
    const std::vector<std::string> idle{"forward", "back", "left", "right", "draw"};
    EXPECT_EQ(sceneCallsBetween(5, 5), idle);
    EXPECT_EQ(sceneCallsBetween(6, 6), idle);
}

TEST_F(ShellTest, EscapeEndsTheLoopOnlyOnAnIdleTurn) {
    keyDownAt(1, VK_ESCAPE); // turn 1 the key, turn 2 its character
    for (int i = 0; i < 5; ++i) {
        inputAt(1, WM_MOUSEMOVE, 0, makeLParam(10 + i, 20));
    }
    EXPECT_EQ(run(100), 0);
    // Seven turns dispatch messages; the first idle turn sees Escape and still draws.
    EXPECT_EQ(turnsRun, 8);
    EXPECT_EQ(count("draw"), 8);
    EXPECT_EQ(count("mouse 14 20"), 1);
    EXPECT_EQ(nullSystemState().liveWindows, 0);
}

TEST_F(ShellTest, TheCloseBoxGivesOneMoreFrameAndExitCodeZero) {
    postAt(3, WM_CLOSE, 0);
    EXPECT_EQ(run(100), 0);
    EXPECT_EQ(turnsRun, 4);
    EXPECT_EQ(count("draw"), 4);
    EXPECT_EQ(nullSystemState().swaps, 4);
    // Everything was released, without complaint.
    EXPECT_EQ(nullSystemState().liveWindows, 0);
    EXPECT_EQ(nullSystemState().liveContexts, 0);
    EXPECT_EQ(nullSystemState().liveDCs, 0);
    EXPECT_EQ(nullSystemState().classes, 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ShellTest, TheLoopReturnsTheQuitMessagesCode) {
    actAt(2, [] { platformPostQuitMessage(3); });
    EXPECT_EQ(run(100), 3);
    EXPECT_EQ(turnsRun, 2);
}

TEST_F(ShellTest, AQuitWaitsForTheMessagesQueuedBeforeIt) {
    postAt(1, WM_CLOSE, 0);
    inputAt(1, WM_MOUSEMOVE, 0, makeLParam(5, 6));
    run(100);
    EXPECT_EQ(turnsRun, 3);
    EXPECT_EQ(count("mouse 5 6"), 1);
}

TEST_F(ShellTest, AResizeSetsTheViewportAndTheSizeText) {
    postAt(1, WM_SIZE, SIZE_RESTORED, makeLParam(640, 480));
    run(1);
    EXPECT_EQ(viewportWidth, 640);
    EXPECT_EQ(viewportHeight, 480);
    EXPECT_EQ(at(turns, 1).status[1], "640 x 480");
}

TEST_F(ShellTest, AZeroHeightGivesAOnePixelViewport) {
    postAt(1, WM_SIZE, SIZE_MINIMIZED, makeLParam(640, 0));
    run(1);
    EXPECT_EQ(viewportWidth, 640);
    EXPECT_EQ(viewportHeight, 1);
    EXPECT_EQ(at(turns, 1).status[1], "640 x 1");
}

TEST_F(ShellTest, AResizeReplacesTheStatusBarAndDropsTheOtherTexts) {
    keyDownAt(1, VK_ADD);
    keyUpAt(4, VK_ADD);
    actAt(4, [] { statusBarSetText(2, "FPS: 60 Secs: 1"); });
    postAt(5, WM_SIZE, SIZE_RESTORED, makeLParam(300, 200));
    run(5);
    EXPECT_EQ(at(turns, 3).status[0], "Speed: 0.250000");
    EXPECT_EQ(at(turns, 4).status[2], "FPS: 60 Secs: 1");
    EXPECT_EQ(at(turns, 5).status[0], "");
    EXPECT_EQ(at(turns, 5).status[1], "300 x 200");
    EXPECT_EQ(at(turns, 5).status[2], "");
}

TEST_F(ShellTest, StartUpShowsTheSizeTextOfTheFirstShow) {
    run(1);
    EXPECT_EQ(at(turns, 1).status[1], "800 x 400");
    EXPECT_EQ(viewportWidth, 800);
    EXPECT_EQ(viewportHeight, 400);
    EXPECT_EQ(count("init"), 1);
}

TEST_F(ShellTest, KeyMessagesGoToTheAboutPanelWhileItHasTheFocus) {
    keyDownAt(1, VK_F1);
    keyUpAt(3, VK_F1);
    keyDownAt(4, 'C');
    keyDownAt(4, VK_UP);
    run(10);
    EXPECT_TRUE(at(turns, 10).aboutVisible);
    EXPECT_FALSE(keyTable['C']);
    EXPECT_FALSE(keyTable[VK_UP]);
    EXPECT_FALSE(at(turns, 10).freeCamera);
    EXPECT_EQ(count("forward"), 0);
}

TEST_F(ShellTest, ClickingTheMainWindowTakesTheKeysBackFromTheAboutPanel) {
    keyDownAt(1, VK_F1);
    keyUpAt(3, VK_F1);
    inputAt(4, WM_LBUTTONDOWN, MK_LBUTTON, makeLParam(600, 200));
    inputAt(4, WM_LBUTTONUP, 0, makeLParam(600, 200));
    keyDownAt(6, 'C');
    run(10);
    EXPECT_TRUE(at(turns, 10).aboutVisible);
    EXPECT_FALSE(at(turns, 10).aboutFocused);
    EXPECT_TRUE(at(turns, 10).freeCamera);
}

TEST_F(ShellTest, KeysHeldWhenTheFocusMovesAreReleasedInsteadOfStuck) {
    keyDownAt(1, VK_UP); // turn 2 idle: one step forward
    keyDownAt(3, VK_F1); // turn 4 idle: shows the panel, which takes the focus
    run(8);
    // The up arrow's release would have gone to the panel; the camera stops anyway.
    EXPECT_EQ(count("forward"), 1);
    EXPECT_FALSE(keyTable[VK_UP]);
}

TEST_F(ShellTest, MouseMovesTurnTheCameraWithSignedPositions) {
    inputAt(1, WM_MOUSEMOVE, 0, makeLParam(30, 40));
    postAt(2, WM_MOUSEMOVE, MK_LBUTTON, makeLParam(-5, -7));
    run(3);
    EXPECT_EQ(count("mouse 30 40"), 1);
    EXPECT_EQ(count("mouse -5 -7"), 1);
}

TEST_F(ShellTest, TheCursorEnteringTheStatusBarLeavesTheClientArea) {
    inputAt(1, WM_MOUSEMOVE, 0, makeLParam(100, 100));
    inputAt(1, WM_MOUSEMOVE, 0, makeLParam(100, 390));
    inputAt(1, WM_MOUSEMOVE, 0, makeLParam(100, 300));
    run(5);
    EXPECT_EQ(sceneLog, (std::vector<std::string>{"init", "mouse 100 100", "draw", "leave", "draw",
                                                  "draw", "mouse 100 300", "draw", "draw"}));
}

TEST_F(ShellTest, TheAlrightButtonHidesTheAboutPanel) {
    keyDownAt(1, VK_F1);
    keyUpAt(3, VK_F1);
    // The button's centre: template (155, 199) 77 x 14 under a 19-pixel title bar.
    inputAt(5, WM_MOUSEMOVE, 0, makeLParam(290, 353));
    inputAt(6, WM_LBUTTONDOWN, MK_LBUTTON, makeLParam(290, 353));
    inputAt(8, WM_LBUTTONUP, 0, makeLParam(290, 353));
    run(10);
    EXPECT_TRUE(at(turns, 7).aboutVisible);
    EXPECT_FALSE(at(turns, 8).aboutVisible);
    EXPECT_EQ(at(turns, 8).aboutResult, 1);
    EXPECT_EQ(count("mouse 290 353"), 0);
}

TEST_F(ShellTest, TheCloseBoxHidesTheAboutPanel) {
    keyDownAt(1, VK_F1);
    keyUpAt(3, VK_F1);
    inputAt(5, WM_MOUSEMOVE, 0, makeLParam(365, 9));
    inputAt(6, WM_LBUTTONDOWN, MK_LBUTTON, makeLParam(365, 9));
    inputAt(8, WM_LBUTTONUP, 0, makeLParam(365, 9));
    run(10);
    EXPECT_TRUE(at(turns, 7).aboutVisible);
    EXPECT_FALSE(at(turns, 8).aboutVisible);
    EXPECT_EQ(at(turns, 8).aboutResult, 0);
}

TEST_F(ShellTest, TheAboutPanelStartsHiddenWithTheFocusOnTheMainWindow) {
    WindowHandle focus = nullptr;
    WindowHandle main = nullptr;
    actAt(1, [&] {
        focus = platformGetFocus();
        main = mainWindow;
        EXPECT_NE(aboutDialog, nullptr);
    });
    run(1);
    EXPECT_FALSE(at(turns, 1).aboutVisible);
    EXPECT_EQ(focus, main);
}

TEST(WindowProc, KeyCodesBeyondTheTableAreIgnored) {
    resetShellState();
    bool before[256];
    std::copy(std::begin(keyTable), std::end(keyTable), before);
    EXPECT_EQ(windowProc(nullptr, WM_KEYDOWN, 256, 0), 0);
    EXPECT_EQ(windowProc(nullptr, WM_KEYDOWN, static_cast<WParam>(-1), 0), 0);
    EXPECT_TRUE(std::equal(std::begin(keyTable), std::end(keyTable), before));
}

TEST(WindowProc, ScreenSaverAndMonitorPowerAreSuppressedOtherCommandsPassOn) {
    EXPECT_EQ(windowProc(nullptr, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(windowProc(nullptr, WM_SYSCOMMAND, SC_MONITORPOWER, 0), 0);
    EXPECT_EQ(windowProc(nullptr, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
}
