// The shell on the null platform, with a recording scene linked in place of the scene's own
// set-up, frame and camera: the loop turn by turn, input routing message by message, the window
// failing step by step, the About panel's layout and the built-in resources.
#include "shell/about_panel.h"
#include "shell/app_window.h"
#include "shell/main_loop.h"
#include "shell/overlay.h"
#include "app/resources.h"
#include "scene/camera.h"
#include "tests/support/null_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {
// The recording scene's camera calls since the turn started: ",fwd", ",back", ",left", ",right",
// ",mouse(X,Y)", ",leave".
std::string sceneLog;
SceneInput sceneDrawn;
bool sceneInitResult = true;
// Scripted events and described messages name the event types and targets so, in their order.
const std::string eventNames[] = {"down",    "up",      "char",  "move", "leave", "press",
                                  "release", "resized", "close", "gain", "lose",  "quit"};
const char* const targets[] = {"None", "Main", "StatusBar", "Panel"};
} // namespace

#define RECORDED(function, entry)                                                                  \
    void function(Camera&) {                                                                       \
        sceneLog += entry;                                                                         \
    }
RECORDED(cameraMoveForward, ",fwd")
RECORDED(cameraMoveBack, ",back")
RECORDED(cameraStrafeLeft, ",left")
RECORDED(cameraStrafeRight, ",right")
RECORDED(cameraMouseLeft, ",leave")
void cameraMouseMoved(Camera&, int x, int y) {
    sceneLog += ",mouse(" + std::to_string(x) + "," + std::to_string(y) + ")";
}
bool initScene(const SceneInput&, SceneTexts*) {
    return sceneInitResult;
}
bool drawScene(const SceneInput& input, SceneTexts*) {
    sceneDrawn = input;
    return true;
}

namespace {

// One scripted event: an event type's name with a key (a letter, a code, or F1 F11 Alt Enter Esc
// Up Down Left Right Add Sub Shift) or up to three numbers, as device input; or size W H: a tool's
// resize; quit CODE: a quit request; show, hide, unfocus: the About panel and the focus.
void perform(const std::string& event) {
    static const std::map<std::string, int> keys = {
        {"F1", VK_F1},       {"F11", VK_F11}, {"Alt", VK_MENU},     {"Enter", VK_RETURN},
        {"Esc", VK_ESCAPE},  {"Up", VK_UP},   {"Down", VK_DOWN},    {"Left", VK_LEFT},
        {"Right", VK_RIGHT}, {"Add", VK_ADD}, {"Sub", VK_SUBTRACT}, {"Shift", VK_SHIFT}};
    std::istringstream in(event);
    std::string what;
    std::string first = "0";
    int b = 0;
    int c = 0;
    in >> what >> first >> b >> c;
    const int a = keys.count(first) != 0                                   ? keys.at(first)
                  : std::isdigit(static_cast<unsigned char>(first.back())) ? std::stoi(first)
                                                                           : first[0];
    static const std::map<std::string, void (*)(int, int)> actions = {
        {"size", shellSetClientSize},
        {"quit", [](int code, int) { shellPostQuit(code); }},
        {"show", [](int, int) { showAboutPanel(); }},
        {"hide", [](int, int) { endAboutPanel(); }},
        {"unfocus", [](int, int) { shellSetFocus(Target::None); }}};
    const auto type = std::find(std::begin(eventNames), std::end(eventNames), what);
    if (actions.count(what) != 0) {
        actions.at(what)(a, b);
    } else if (type != std::end(eventNames)) {
        shellPostInput(Event{static_cast<EventType>(type - std::begin(eventNames)), a, b, c});
    } else {
        ADD_FAILURE() << "unknown scripted event \"" << event << "\"";
    }
}

struct ShellTest : ::testing::Test {
    void SetUp() override {
        nullPlatform.reset();
        resetShell();
        sceneInitResult = true;
        platformSetMessageBoxSink(
            [](void* boxes, const char* caption, const char* text, MessageBoxIcon icon) {
                static_cast<std::vector<std::string>*>(boxes)->push_back(
                    std::string(caption) + ": " + text +
                    (icon == MessageBoxIcon::Exclamation ? " (!)" : ""));
            },
            &boxes);
    }
    void TearDown() override {
        destroyAppWindow();
        overlayShutdown();
        platformSetMessageBoxSink(nullptr, nullptr);
        boxes.clear();
        script.clear();
        timeline.clear();
    }
    void reset() {
        TearDown();
        SetUp();
    }
    // Scripted events separated by ';', each done now, or before turn T when it starts with T.
    void play(const std::string& events) {
        std::istringstream all(events);
        for (std::string event; std::getline(all, event, ';');) {
            std::size_t end = 0;
            const auto start = static_cast<unsigned char>(event[event.find_first_not_of(' ')]);
            std::isdigit(start) != 0 ? script[std::stoi(event, &end)].push_back(event.substr(end))
                                     : perform(event);
        }
    }
    // appMain at 800 x 400 for at most `turns` turns; the exit code.
    int run(int turns) {
        limit = turns;
        LoopHooks hooks{this,
                        [](void* test, std::int64_t turn) {
                            sceneLog.clear();
                            for (auto& event : static_cast<ShellTest*>(test)->script[int(turn)]) {
                                perform(event);
                            }
                        },
                        nullptr,
                        [](void* test, std::int64_t turn) {
                            auto& t = *static_cast<ShellTest*>(test);
                            t.timeline += turn == 1 ? "" : " ";
                            t.timeline += t.observe();
                            t.turnsRun = static_cast<int>(turn);
                            return turn < t.limit;
                        }};
        return appMain(800, 400, &hooks);
    }
    // The messages the shell hands out now, translated as the loop does, as "Main move 10 20;
    // ...": the target, the event and its numbers without the trailing zeros.
    static std::string drain() {
        std::string out;
        // Bounded: a queue that does not shrink would otherwise never end.
        for (Message m; out.size() < 2000 && shellPeekMessage(&m); shellTranslateMessage(m)) {
            const Event& e = m.event;
            std::string numbers;
            for (int value : {e.a, e.b, e.c}) {
                numbers.append(" ").append(std::to_string(value));
            }
            while (numbers.ends_with(" 0")) {
                numbers.resize(numbers.size() - 2);
            }
            out += (out.empty() ? "" : "; ") + std::string(targets[int(m.target)]) + " " +
                   eventNames[int(e.type)] + numbers;
        }
        return out;
    }
    // The camera calls of the turn, joined by ','; "-" for none.
    static std::string calls() { return sceneLog.empty() ? "-" : sceneLog.substr(1); }

    std::vector<std::string> boxes; // "CAPTION: TEXT", " (!)" for the exclamation icon
    std::map<int, std::vector<std::string>> script;
    std::string (*observe)() = calls;
    std::string timeline; // `observe` after each turn, separated by ' '
    int turnsRun = 0;
    int limit = 0;
};

} // namespace

// A key press takes a turn, the character it types (letters, keypad + and -) another; held
// keys act on the idle turns after, Escape ending the loop. The last turn still draws.
TEST_F(ShellTest, EachTurnShowsWhatTheInputBeforeItDid) {
    ASSERT_EQ(statusPartEdges[statusPartCount - 1], -1) << "the last part runs to the bar's end";
    using Shows = std::string (*)();
    const Shows camera = [] { return std::to_string(sceneDrawn.freeCamera); };
    const Shows path = [] { return std::to_string(sceneDrawn.showPath); };
    const Shows fullscreen = [] { return std::to_string(nullPlatform.fullscreen); };
    const Shows panel = [] { return std::string(shell.aboutVisible ? "P" : "-"); };
    // The divisor the scene drew with, "=", the speed text without its "Speed: ".
    const Shows speed = [] {
        const std::string& text = shell.status[0];
        return std::to_string(static_cast<int>(sceneDrawn.speedDivisor)) + "=" +
               (text.starts_with("Speed: ") ? text.substr(7) : text);
    };
    // The size text and the top of the status strip.
    const Shows size = [] { return shell.status[1] + "/" + std::to_string(shell.statusBar.y); };
    const struct {
        const char* script;
        Shows shows;
        int limit;
        const char* turns;
        int exitCode = 0;
    } cases[] = {
        {"1 down C; 10 up C; 12 down C", camera, 15, "0 0 1 1 1 1 1 1 1 1 1 1 1 0 0"},
        {"1 down P; 10 up P; 12 down P", path, 15, "0 0 1 1 1 1 1 1 1 1 1 1 1 0 0"},
        {"1 down Right; 1 down Left; 1 down Down; 1 down Up", calls, 6,
         "- - - - fwd,back,left,right fwd,back,left,right"},
        // Held at the limit, the speed text comes back after a resize cleared it.
        {"1 down Add; 8 size 640 300", speed, 9,
         "5= 5= 4=0.250000 3=0.333333 2=0.500000 1=1.000000 1=1.000000 1= 1=1.000000"},
        {"1 down Sub; 8 size 640 300", speed, 9,
         "5= 5= 6=0.166667 7=0.142857 8=0.125000 9=0.111111 10=0.100000 10= 10=0.100000"},
        // The viewport is at least 1 high; minimised, the client area keeps its size.
        {"2 resized 640 480; 3 resized 640 0; 4 size 300 10; 5 size 0 0", size, 5,
         "800 x 400/380 640 x 480/460 640 x 1/460 300 x 10/0 0 x 1/0"},
        // Keys go to the About panel while it has the focus, until a click takes them back.
        {"1 down F1; 3 down C; 5 press 600 200 0; 6 release 600 200 0; 7 down C", camera, 10,
         "0 0 0 0 0 0 0 0 1 1"},
        // A key held when another program or the panel takes the focus stops.
        {"1 down Up; 3 lose; 4 gain; 5 down Up; 7 down F1", calls, 9, "- fwd - - - fwd - - -"},
        // "Alright!" (its centre: template (155, 199) 77 x 14 under a 19-pixel title bar) and
        // the close box hide the panel.
        {"1 down F1; 5 move 290 353; 6 press 290 353 0; 8 release 290 353 0; 10 down F1", panel, 11,
         "- P P P P P P - - - P"},
        {"1 down F1; 4 hide; 5 down F1; 7 move 365 9; 8 press 365 9 0; 9 release 365 9 0", panel, 9,
         "- P P - - P P P -"},
        // Dragged past the corner the camera keeps the mouse; it loses it to the status strip.
        {"1 move 30 40; 1 press 30 40 1; 1 move -5 -7; 1 release -5 -7 1; 5 move 100 100; "
         "5 move 100 390; 5 move 100 300; 5 leave; 5 leave",
         calls, 11,
         "mouse(30,40) - mouse(-5,-7) - mouse(100,100) leave - mouse(100,300) leave - -"},
        // The loop ends after a quit request, which comes when nothing else is queued.
        {"3 close", calls, 100, "- - - -"},
        {"2 quit 3", calls, 100, "- -", 3},
        {"1 close; 1 move 5 6", calls, 100, "- mouse(5,6) -"},
        {"1 down Esc; 1 move 10 20; 1 move 11 20; 1 move 12 20", calls, 100,
         "- - mouse(10,20) mouse(11,20) mouse(12,20) -"},
        // Showing the panel on the same idle turn releases every key; Escape still counts.
        {"1 down F1; 1 down Esc", calls, 100, "- - - -"},
        // A key pressed and released between two idle turns acts once on the next; a second
        // press before an idle turn sees the key up again is a press of its own.
        {"1 down P; 1 up P", path, 5, "0 0 0 1 1"},
        {"1 down Up; 1 up Up; 4 down Up; 4 up Up; 4 down Up", calls, 8, "- - fwd - - - fwd fwd"},
        {"1 down P; 4 up P; 4 down P", path, 8, "0 0 1 1 1 1 0 0"},
        {"1 down Esc; 1 up Esc", calls, 100, "- - - -"},
        {"1 down F11; 1 up F11; 5 down Alt; 5 down Enter; 9 up Enter; 9 down Enter", fullscreen, 12,
         "0 0 1 1 1 1 1 0 0 0 0 1"},
        {"1 down Enter; 2 up Enter", fullscreen, 4, "0 0 0 0"},
        // The keyboard's repeats of a held key are no new presses.
        {"1 down C; 4 down C; 6 down C", camera, 8, "0 0 1 1 1 1 1 1"},
    };
    for (const auto& c : cases) {
        reset();
        play(c.script);
        observe = c.shows;
        EXPECT_EQ(run(c.limit), c.exitCode) << c.script;
        EXPECT_EQ(timeline, c.turns) << c.script;
        EXPECT_EQ(nullPlatform.swaps, turnsRun) << c.script;
        EXPECT_FALSE(nullPlatform.window || nullPlatform.context || nullPlatform.current);
        EXPECT_EQ(boxes, std::vector<std::string>{}) << c.script;
    }
}

TEST_F(ShellTest, InputGoesToTheWindowTheShellRoutesItTo) {
    // The panel, when shown, lies over the left of the status strip (y 380 to 399).
    const struct {
        const char* input;
        const char* messages;
        const char* focus;
    } cases[] = {
        {"move 10 390; move 10 350", "StatusBar move 10 390; Main move 10 350", "Main"},
        // The cursor leaving the main window, and only that, tells it so.
        {"show; move 500 100; move 199 300; move 10 390; move 500 390; move 200 350; leave; leave; "
         "move 300 300; leave",
         "Main move 500 100; Main leave; Panel move 199 300; Panel move 10 390; StatusBar move "
         "500 390; Main move 200 350; Main leave; Main move 300 300; Main leave",
         "Panel"},
        // A click gives the keys (the strip passes them on); a held button keeps the mouse.
        {"unfocus; press 600 100 0; move 500 395; release 500 395 0; move 500 395",
         "Main press 600 100; Main move 500 395; Main release 500 395; Main leave; StatusBar "
         "move 500 395",
         "Main"},
        {"unfocus; press 600 390 0; move 600 100; release 600 100 0; move 600 100",
         "StatusBar press 600 390; StatusBar move 600 100; StatusBar release 600 100; Main move "
         "600 100",
         "Main"},
        {"show; unfocus; press 100 350 1; move 600 100; release 600 100 1",
         "Panel press 100 350 1; Panel move 600 100; Panel release 600 100 1", "Panel"},
        {"unfocus; press 600 100 2; release 600 100 2",
         "Main press 600 100 2; Main release 600 100 2", "Main"},
        {"press 600 100 3; release 600 100 3; press 600 100 -1; press 600 100 1000", "", "Main"},
        // A key press queues the character it types ahead of everything else.
        {"down C; up C; down 53; down 105; down Add; down Esc; down F1; down Up; move 1 2",
         "Main down 67; Main char 99; Main up 67; Main down 53; Main char 53; Main down 105; Main "
         "char 57; Main down 107; Main char 43; Main down 27; Main char 27; Main down 112; Main "
         "down 38; Main move 1 2",
         "Main"},
        {"down 8; down 9; down 13; down 32; down 106",
         "Main down 8; Main char 8; Main down 9; Main char 9; Main down 13; Main char 13; Main "
         "down 32; Main char 32; Main down 106; Main char 42",
         "Main"},
        {"down Shift; down P", "Main down 16; Main down 80; Main char 80", "Main"},
        {"down 96; down 105; down 219",
         "Main down 96; Main char 48; Main down 105; Main char 57; Main down 219; Main char 91",
         "Main"},
        {"down Shift; up Shift; down P", "Main down 16; Main up 16; Main down 80; Main char 112",
         "Main"},
        {"down W; show; down X; unfocus; down Y",
         "Main down 87; Main char 119; Panel down 88; Panel char 120", "None"},
        // Inactive, no window has the keys; activated, the focus comes back where it can.
        {"lose; down Z; gain; down Z", "Main down 90; Main char 122", "Main"},
        {"lose; gain; lose; down Z", "", "None"},
        {"show; lose; down Z; gain; down Z", "Panel down 90; Panel char 122", "Panel"},
        {"show; lose; hide; gain; down Z", "Main down 90; Main char 122", "Main"},
        {"show; lose; press 600 100 0; release 600 100 0; gain; down Z",
         "Main press 600 100; Main release 600 100; Main down 90; Main char 122", "Main"},
        // The quit request comes after everything queued, once.
        {"down Up; quit 4; up Up", "Main down 38; Main up 38; None quit 4", "Main"},
        // The window system's sizes arrive once each; minimised, the window keeps its size.
        {"resized 800 400; resized 640 400; resized 640 480; resized 640 480; resized 0 0; "
         "resized 640 480",
         "Main resized 640 400; Main resized 640 480; Main resized; Main resized 640 480", "Main"},
    };
    for (const auto& c : cases) {
        reset();
        // The window and the hidden About panel as appMain makes them, without the loop.
        ASSERT_TRUE(startApp(800, 400));
        ASSERT_TRUE(nullPlatform.shown);
        shell.queue.clear();
        shell.aboutRect = Rect{0, 300, 200, 100};
        play(c.input);
        const std::string messages = drain();
        const std::string focus = targets[static_cast<int>(shell.focus)];
        // Nothing is left, not even a second quit request.
        EXPECT_EQ(messages + " | focus " + focus + " | " + drain(),
                  std::string(c.messages) + " | focus " + c.focus + " | ")
            << c.input;
    }
}

TEST_F(ShellTest, EachFailingStepShowsExactlyOneMessageBoxAndReleasesWhatExists) {
    const struct {
        NullStep step; // Count: the scene's set-up fails
        const char* turns;
        const char* box;
    } cases[] = {
        {NullStep::ChooseFormat, "", "ERROR: Can't Find A Suitable PixelFormat. (!)"},
        {NullStep::CreateWindow, "", "ERROR: Window Creation Error. (!)"},
        {NullStep::CreateContext, "", "ERROR: Can't Create A GL Rendering Context. (!)"},
        {NullStep::MakeCurrent, "", "ERROR: Can't Activate The GL Rendering Context. (!)"},
        {NullStep::Count, "", "ERROR: Initialization Failed. (!)"},
        {NullStep::ReleaseCurrent, "- -", "SHUTDOWN ERROR: Release Of DC And RC Failed."},
    };
    for (const auto& c : cases) {
        reset();
        sceneInitResult = c.step != NullStep::Count;
        if (c.step != NullStep::Count) {
            nullPlatform.fail[static_cast<int>(c.step)] = true;
        }
        EXPECT_EQ(run(2), 0) << c.box;
        EXPECT_EQ(timeline, c.turns) << c.box;
        EXPECT_EQ(boxes, std::vector<std::string>{c.box});
        EXPECT_FALSE(nullPlatform.window || nullPlatform.context || nullPlatform.current ||
                     shell.window || shell.context)
            << c.box;
    }
}

TEST(AboutLayout, ControlsBecomePixelsByTheirCornersRoundedHalfAwayAndPicturesKeepTheirSize) {
    auto box = [](Rect r) { return std::tuple(r.x, r.y, r.width, r.height); };
    EXPECT_EQ(box(dialogUnitsToPixels(0, 0, 250, 220)), box({0, 0, 375, 358}));
    // By place in the template: the button, the title, the picture, the icon. 155 * 1.5 = 232.5
    // and 199 * 1.625 = 323.375; the right and bottom edges map apart.
    const std::pair<int, Rect> cases[] = {{0, {233, 323, 115, 23}},
                                          {1, {11, 11, 96, 13}},
                                          {4, {26, 67, 322, 243}},
                                          {6, {167, 20, 32, 32}}};
    for (auto [index, pixels] : cases) {
        EXPECT_EQ(box(aboutControlRect(aboutControls[index])), box(pixels)) << "control " << index;
    }
}

TEST(Resources, AnUnusableOrUnknownResourceLeavesAnEmptyPictureAndSaysWhy) {
    static const unsigned char junk[] = "BM this is not really a bitmap at all";
    Image image{5, 0, {}};
    std::string message;
    EXPECT_FALSE(decodeResource({IDB_ABOUT, "res/about.bmp", junk, sizeof junk}, &image, &message));
    EXPECT_TRUE(message.starts_with("res/about.bmp: ") && message.size() > 15 && image.width == 0)
        << message;
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(resourceImage(102).rgba.empty());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "velmora: resource 102: not built into the program; the About panel shows no "
              "picture\n");
}
