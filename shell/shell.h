// The shell's state and its message queue.
//
// Contract:
// - `shell` is the one record of everything the shell holds: the key table and latches, what
//   the scene reads (SceneInput), the status texts, the window's sizes, the About panel, the
//   keyboard focus, the main window's procedure and the queue. resetShell() puts all of it back
//   for a fresh run.
// - Device input is routed when it arrives (shellPostInput): keys to the window with the
//   keyboard focus (dropped when none has it), mouse messages to the About panel when the
//   cursor is over it, else to the status bar strip, else to the main window; while a button
//   is held they go where the button went down, and a click gives the keyboard focus to the
//   window clicked (the strip passes it to the main window). The cursor moving off the main
//   window onto the panel or the strip, or out of the window, queues a MouseLeave for it.
// - shellPeekMessage removes one message: the queue's first, else a posted quit request,
//   which therefore arrives only when nothing else is queued. Translating a key press queues
//   the character it types ahead of everything else, so the next turn is not idle either.
// - The main window losing the keyboard focus (to the panel, or to another program) releases
//   every key: the release of a key held at that moment goes elsewhere, and the key would
//   otherwise stay down.
#pragma once

#include "platform/platform.h"
#include "scene/scene.h"

#include <deque>
#include <string>

enum class Target : std::uint8_t { None, Main, StatusBar, Panel };

struct Message {
    Target target = Target::None;
    Event event{EventType::Quit};
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool contains(int px, int py) const {
        return px >= x && py >= y && px < x + width && py < y + height;
    }
};

constexpr int statusBarHeight = 20;
constexpr int statusPartCount = 3;
// Right edges in client pixels; -1 extends the last part to the window's right edge.
constexpr int statusPartEdges[statusPartCount] = {180, 300, -1};

// The main window's procedure: the messages the loop dispatches to the main window, and the
// loss of its keyboard focus. The loop gives it (startApp); either may be null.
struct WindowProcedure {
    void (*message)(const Event& event);
    void (*focusLost)();
};

struct Shell {
    // true while the key with that code is down.
    bool keyTable[256] = {};
    // A press since the last idle turn (a key going down that was up): that turn acts on it as
    // if the key had been held through it, so a tap between two idle turns is not lost.
    bool keyPressed[256] = {};
    // Set while the key is seen down, so that holding it acts once per press.
    bool dialogLatch = false;
    bool cameraModeLatch = false;
    bool pathLatch = false;
    bool fullscreenLatch = false; // F11
    bool returnLatch = false;     // Alt+Enter
    bool screenshotLatch = false; // F12
    // F12 asks for the next presented frame to be written.
    bool screenshotPending = false;
    // A note shown in the size part until the counter reaches noteUntil.
    bool noteShowing = false;
    std::int64_t noteUntil = 0;
    SceneInput scene;
    // Part 0 the speed, 1 the client size, 2 the frame rate.
    std::string status[statusPartCount];
    // Along the bottom of the client area as it was when the bar was (re-)created; empty when
    // there is none.
    Rect statusBar;

    bool window = false;
    bool context = false;
    // The client size; a minimised window keeps its last real size here.
    int clientWidth = 0;
    int clientHeight = 0;
    // The size last reported, so that the same size is not reported twice.
    int reportedWidth = -1;
    int reportedHeight = -1;
    // As last given to resizeAppWindow, after the height correction.
    int viewportWidth = 0;
    int viewportHeight = 0;

    bool aboutCreated = false;
    bool aboutVisible = false;
    // Where the panel is on screen, title bar included (the overlay keeps it up to date).
    Rect aboutRect;

    Target focus = Target::None;
    // The focus to give back when the program is activated again.
    Target focusWhenInactive = Target::None;
    bool active = false;
    Target capture = Target::None;
    unsigned buttonsDown = 0;
    Target mouseOver = Target::None;
    bool shiftDown = false;

    WindowProcedure procedure{};
    std::deque<Message> queue;
    bool quitPosted = false;
    int quitCode = 0;
};

extern Shell shell;
void resetShell();

void shellPostInput(const Event& event);
void shellPost(Target target, const Event& event);
void shellPostQuit(int exitCode);
// A scripted resize (sizes 0 or more, as the scripts' readers check): the client area takes the
// new size (0 stands for a minimised window, which keeps its size) and a Resized message is
// queued for the main window.
void shellSetClientSize(int width, int height);
// Takes in what the platform has, then removes one message; false when there was none.
bool shellPeekMessage(Message* message);
void shellTranslateMessage(const Message& message);
void shellDispatchMessage(const Message& message);
void shellSetFocus(Target target);
// The status bar strip is made anew: messages queued for the old one are dropped with it.
void shellRecreateStatusStrip();
