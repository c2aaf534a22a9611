// The loop turn by turn: scripted input through the shell's routing on the null platform.
#include "shell_harness.h"

#include "app/about_panel.h"
#include "app/app_window.h"
#include "app/main_loop.h"

#include <algorithm>

TEST_F(ShellTest, StartUpShowsTheFirstSizeTextAndGivesTheMainWindowTheFocus) {
    EXPECT_EQ(run(1), 0);
    EXPECT_EQ(count("init"), 1);
    EXPECT_EQ(count("draw"), 1);
    EXPECT_EQ(nullPlatform().swaps, 1);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(at(1).focus, Target::Main);
    // The first show re-created the bar: part 0 lost its "Status".
    EXPECT_EQ(at(1).status[0], "");
    EXPECT_EQ(at(1).status[1], "800 x 400");
    EXPECT_EQ(shell.viewportWidth, 800);
    EXPECT_EQ(shell.viewportHeight, 400);
    EXPECT_FALSE(at(1).aboutVisible);
}

TEST_F(ShellTest, TheScenesTextsReachTheStatusBarAndAnUnwrittenTextLeavesItsPart) {
    sceneSpeedText = "Speed: 0.200000";
    sceneFrameRateText = "FPS: 7 Secs: 0";
    actAt(2, [] { sceneFrameRateText.clear(); });
    run(2);
    EXPECT_EQ(at(1).status[0], "Speed: 0.200000");
    EXPECT_EQ(at(1).status[2], "FPS: 7 Secs: 0");
    EXPECT_EQ(at(2).status[2], "FPS: 7 Secs: 0");
}

TEST_F(ShellTest, HoldingCOrPTogglesItsFlagOncePerPress) {
    const struct {
        int key;
        bool SceneInput::*flag;
    } cases[] = {{'C', &SceneInput::freeCamera}, {'P', &SceneInput::showPath}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<char>(c.key));
        TearDown();
        SetUp();
        keyDownAt(1, c.key); // turn 1 the key, turn 2 its character, idle from turn 3
        keyUpAt(10, c.key);
        keyDownAt(12, c.key);
        run(20);
        for (std::int64_t t = 1; t <= 20; ++t) {
            EXPECT_EQ(at(t).drawn.*c.flag, t >= 3 && t <= 13) << "turn " << t;
        }
    }
}

TEST_F(ShellTest, F1ShowsTheAboutPanelOncePerPress) {
    keyDownAt(1, VK_F1); // no character: turn 2 is idle
    // The panel took the focus and released F1; it stays down for the user all along.
    actAt(4, [] { endAboutPanel(1); });
    keyDownAt(8, VK_F1);
    run(10);
    EXPECT_FALSE(at(1).aboutVisible);
    EXPECT_TRUE(at(2).aboutVisible);
    EXPECT_EQ(at(2).focus, Target::Panel);
    EXPECT_TRUE(at(3).aboutVisible);
    for (std::int64_t t = 4; t <= 8; ++t) {
        EXPECT_FALSE(at(t).aboutVisible) << "turn " << t;
    }
    EXPECT_TRUE(at(9).aboutVisible);
}

TEST_F(ShellTest, KeypadPlusAndMinusStepTheSpeedOnIdleTurnsWithinOneToTen) {
    writeSpeedText();
    EXPECT_EQ(shell.status[0], "Speed: 0.200000");
    const struct {
        int key;
        std::int64_t turn;
        float divisor;
        const char* text;
    } cases[] = {
        {VK_ADD, 2, 5.0f, ""}, // the '+' character's turn
        {VK_ADD, 3, 4.0f, "Speed: 0.250000"},
        {VK_ADD, 5, 2.0f, "Speed: 0.500000"},
        {VK_ADD, 6, 1.0f, "Speed: 1.000000"},
        {VK_ADD, 7, 1.0f, "Speed: 1.000000"},
        {VK_ADD, 12, 1.0f, "Speed: 1.000000"},
        {VK_SUBTRACT, 3, 6.0f, "Speed: 0.166667"},
        {VK_SUBTRACT, 7, 10.0f, "Speed: 0.100000"},
        {VK_SUBTRACT, 8, 10.0f, "Speed: 0.100000"},
        {VK_SUBTRACT, 12, 10.0f, "Speed: 0.100000"},
    };
    for (int key : {VK_ADD, VK_SUBTRACT}) {
        TearDown();
        SetUp();
        keyDownAt(1, key);
        // Clamped steps still write the text.
        actAt(12, [] { shell.status[0] = "gone"; });
        run(12);
        for (const auto& c : cases) {
            if (c.key == key) {
                SCOPED_TRACE("key " + std::to_string(key) + " turn " + std::to_string(c.turn));
                EXPECT_EQ(at(c.turn).drawn.speedDivisor, c.divisor);
                EXPECT_EQ(at(c.turn).status[0], c.text);
            }
        }
    }
}

TEST_F(ShellTest, ArrowKeysMoveTheCameraInTheListedOrderOnEveryIdleTurn) {
    for (int key : {VK_RIGHT, VK_LEFT, VK_DOWN, VK_UP}) {
        keyDownAt(1, key);
    }
    run(6);
    EXPECT_EQ(sceneCallsBetween(1, 4), (std::vector<std::string>{"draw", "draw", "draw", "draw"}));
    const std::vector<std::string> idle{"forward", "back", "left", "right", "draw"};
    EXPECT_EQ(sceneCallsBetween(5, 5), idle);
    EXPECT_EQ(sceneCallsBetween(6, 6), idle);
}

TEST_F(ShellTest, TheLoopEndsAfterOneMoreFrameAndReleasesEverything) {
    const struct {
        const char* name;
        std::function<void(ShellTest&)> arrange;
        int exitCode;
        std::int64_t turns;
        int mouseMoves; // dispatched before the end
    } cases[] = {
        {"close box", [](ShellTest& t) { t.postAt(3, Event{EventType::Close}); }, 0, 4, 0},
        {"quit request", [](ShellTest& t) { t.actAt(2, [] { shellPostQuit(3); }); }, 3, 2, 0},
        {"quit after what was queued before it",
         [](ShellTest& t) {
             t.postAt(1, Event{EventType::Close});
             t.inputAt(1, Event{EventType::MouseMove, 5, 6});
         },
         0, 3, 1},
        // Turn 1 the key, turn 2 its character, five moves; the first idle turn sees Escape.
        {"Escape",
         [](ShellTest& t) {
             t.keyDownAt(1, VK_ESCAPE);
             for (int i = 0; i < 5; ++i) {
                 t.inputAt(1, Event{EventType::MouseMove, 10 + i, 20});
             }
         },
         0, 8, 5},
        // Showing the panel on the same idle turn releases every key; Escape still counts.
        {"Escape with F1",
         [](ShellTest& t) {
             t.keyDownAt(1, VK_F1);
             t.keyDownAt(1, VK_ESCAPE);
         },
         0, 4, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.arrange(*this);
        EXPECT_EQ(run(100), c.exitCode);
        EXPECT_EQ(turnsRun, c.turns);
        EXPECT_EQ(count("draw"), c.turns);
        EXPECT_EQ(nullPlatform().swaps, c.turns);
        EXPECT_EQ(std::count_if(sceneLog.begin(), sceneLog.end(),
                                [](const std::string& e) { return e.rfind("mouse", 0) == 0; }),
                  c.mouseMoves);
        EXPECT_FALSE(nullPlatform().window);
        EXPECT_FALSE(nullPlatform().context);
        EXPECT_FALSE(nullPlatform().current);
        EXPECT_FALSE(shell.window);
        EXPECT_TRUE(boxes.empty());
    }
}

TEST_F(ShellTest, AResizeSetsTheViewportAndMakesANewStatusBarWithTheSizeText) {
    const struct {
        const char* name;
        bool scripted; // shellSetClientSize, else a Resized message to the main window
        int width, height;
        int viewportHeight;
        const char* text;
        Rect strip; // the bottom of the client area afterwards
    } cases[] = {
        {"message", false, 640, 480, 480, "640 x 480", {0, 380, 800, 20}},
        {"no height", false, 640, 0, 1, "640 x 1", {0, 380, 800, 20}},
        {"scripted", true, 300, 200, 200, "300 x 200", {0, 180, 300, 20}},
        {"lower than the strip", true, 300, 10, 10, "300 x 10", {0, 0, 300, 10}},
        {"minimised", true, 0, 0, 1, "0 x 1", {0, 380, 800, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        actAt(1, [] {
            shell.status[0] = "Speed: 0.250000";
            shell.status[2] = "FPS: 60 Secs: 1";
        });
        actAt(2, [&c] {
            if (c.scripted) {
                shellSetClientSize(c.width, c.height);
            } else {
                shellPost(Target::Main, Event{EventType::Resized, c.width, c.height});
            }
        });
        Rect strip;
        actAt(3, [&strip] { strip = shell.statusBar; });
        run(3);
        EXPECT_EQ(shell.viewportWidth, c.width);
        EXPECT_EQ(shell.viewportHeight, c.viewportHeight);
        EXPECT_EQ(at(1).status[0], "Speed: 0.250000");
        EXPECT_EQ(at(2).status[0], "");
        EXPECT_EQ(at(2).status[1], c.text);
        EXPECT_EQ(at(2).status[2], "");
        EXPECT_TRUE(rectIs(strip, c.strip));
        const int clientHeight = c.strip.y + c.strip.height;
        EXPECT_EQ(shell.clientWidth, c.strip.width);
        EXPECT_EQ(shell.clientHeight, clientHeight);
        EXPECT_EQ(nullPlatform().width, c.strip.width);
        EXPECT_EQ(nullPlatform().height, clientHeight);
    }
}

TEST_F(ShellTest, KeysGoToTheAboutPanelWhileItHasTheFocus) {
    keyDownAt(1, VK_F1);
    keyUpAt(3, VK_F1);
    keyDownAt(4, 'C');
    keyDownAt(4, VK_UP);
    run(10);
    EXPECT_TRUE(at(10).aboutVisible);
    EXPECT_EQ(at(10).focus, Target::Panel);
    EXPECT_FALSE(shell.keyTable['C']);
    EXPECT_FALSE(shell.keyTable[VK_UP]);
    EXPECT_FALSE(at(10).drawn.freeCamera);
    EXPECT_EQ(count("forward"), 0);
}

TEST_F(ShellTest, ClickingTheMainWindowTakesTheKeysBackFromTheAboutPanel) {
    keyDownAt(1, VK_F1);
    keyUpAt(3, VK_F1);
    inputAt(4, Event{EventType::ButtonDown, 600, 200, 0});
    inputAt(4, Event{EventType::ButtonUp, 600, 200, 0});
    keyDownAt(6, 'C');
    run(10);
    EXPECT_TRUE(at(10).aboutVisible);
    EXPECT_EQ(at(10).focus, Target::Main);
    EXPECT_TRUE(at(10).drawn.freeCamera);
}

TEST_F(ShellTest, KeysHeldWhenTheFocusMovesAreReleasedInsteadOfStuck) {
    keyDownAt(1, VK_UP); // turn 2 idle: one step forward
    keyDownAt(3, VK_F1); // turn 4 idle: shows the panel, which takes the focus
    run(8);
    // The up arrow's release would go to the panel; the camera stops anyway.
    EXPECT_EQ(count("forward"), 1);
    EXPECT_FALSE(shell.keyTable[VK_UP]);
}

TEST_F(ShellTest, MouseMovesTurnTheCameraWithSignedPositions) {
    // Dragged out past the top-left corner, the main window keeps the mouse.
    inputAt(1, Event{EventType::MouseMove, 30, 40});
    inputAt(1, Event{EventType::ButtonDown, 30, 40, 1});
    inputAt(1, Event{EventType::MouseMove, -5, -7});
    inputAt(1, Event{EventType::ButtonUp, -5, -7, 1});
    run(5);
    EXPECT_EQ(count("mouse 30 40"), 1);
    EXPECT_EQ(count("mouse -5 -7"), 1);
}

TEST_F(ShellTest, TheCameraLosesTheCursorToTheStatusBarAndOutsideTheWindow) {
    inputAt(1, Event{EventType::MouseMove, 100, 100});
    inputAt(1, Event{EventType::MouseMove, 100, 390});
    inputAt(1, Event{EventType::MouseMove, 100, 300});
    inputAt(1, Event{EventType::MouseLeave});
    inputAt(1, Event{EventType::MouseLeave});
    run(7);
    EXPECT_EQ(sceneLog,
              (std::vector<std::string>{"init", "mouse 100 100", "draw", "leave", "draw", "draw",
                                        "mouse 100 300", "draw", "leave", "draw", "draw", "draw"}));
}

TEST_F(ShellTest, TheAboutPanelsButtonsHideItWhenClicked) {
    const struct {
        const char* name;
        int x, y;
        int result;
    } cases[] = {
        // The centre of "Alright!": template (155, 199) 77 x 14 under a 19-pixel title bar.
        {"Alright!", 290, 353, 1},
        {"close box", 365, 9, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        keyDownAt(1, VK_F1);
        keyUpAt(3, VK_F1);
        actAt(3, [] { shell.aboutResult = -1; });
        inputAt(5, Event{EventType::MouseMove, c.x, c.y});
        inputAt(6, Event{EventType::ButtonDown, c.x, c.y, 0});
        inputAt(8, Event{EventType::ButtonUp, c.x, c.y, 0});
        run(10);
        EXPECT_TRUE(at(7).aboutVisible);
        EXPECT_EQ(at(7).aboutResult, -1);
        EXPECT_FALSE(at(8).aboutVisible);
        EXPECT_EQ(at(8).aboutResult, c.result);
        EXPECT_EQ(at(8).focus, Target::Main);
        // The panel had the mouse, not the camera.
        EXPECT_EQ(count("mouse " + std::to_string(c.x) + " " + std::to_string(c.y)), 0);
    }
}

TEST(WindowProc, KeyCodesBeyondTheTableAreIgnored) {
    resetShell();
    windowProc(Event{EventType::KeyDown, 256});
    windowProc(Event{EventType::KeyDown, -1});
    EXPECT_TRUE(std::none_of(std::begin(shell.keyTable), std::end(shell.keyTable),
                             [](bool down) { return down; }));
}
