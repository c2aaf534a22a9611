// The platform under the shell: one window with a GL context, the events the shell reacts to,
// buffer swaps, the performance counter, message boxes and pictures from memory.
//
// Contract:
// - One thread, one window. Every call comes from the thread that runs the loop.
// - Implementations with the same functions: SDL2 (velmora_platform, the only code that
//   includes SDL), the web page's (web/web_platform.cpp) and a null one without display or GL
//   for failure tests (velmora_platform_null, tests/support/null_platform.h). A program links
//   exactly one; each holds platform/every_platform.cpp.
// - Creation is in steps so that the shell can name the one that failed: platformChooseFormat
//   (the GL library and a double-buffered RGBA format with the colour and depth bits asked
//   for), platformCreateWindow (hidden, that client size), platformCreateContext (made current
//   by platformMakeCurrent). Each returns false when its step fails and changes nothing else.
// - Sizes and positions are client pixels, x right, y down. Key codes are the customary
//   virtual-key codes below (letters and digits are their upper-case ASCII codes), always below
//   256; keys without one are not reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int VK_BACK = 8;
constexpr int VK_TAB = 9;
constexpr int VK_RETURN = 13;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_MENU = 18;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_PRIOR = 33;
constexpr int VK_NEXT = 34;
constexpr int VK_END = 35;
constexpr int VK_HOME = 36;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_INSERT = 45;
constexpr int VK_DELETE = 46;
constexpr int VK_NUMPAD0 = 96;
constexpr int VK_MULTIPLY = 106;
constexpr int VK_ADD = 107;
constexpr int VK_SUBTRACT = 109;
constexpr int VK_DIVIDE = 111;
constexpr int VK_F1 = 112;
constexpr int VK_F11 = 122;
constexpr int VK_F12 = 123;
// The first of the punctuation keys ;=,-./` and of [\]'.
constexpr int VK_OEM_1 = 186;
constexpr int VK_OEM_4 = 219;

// What happens at the window. Char and Quit are never reported by the platform: the shell makes
// them (the character a key press types, the quit request).
enum class EventType : std::uint8_t {
    KeyDown,    // a: key code
    KeyUp,      // a: key code
    Char,       // a: character
    MouseMove,  // a, b: cursor x, y (negative left of or above the window while a button is held)
    MouseLeave, // the cursor left the window
    ButtonDown, // a, b: cursor x, y; c: 0 left, 1 right, 2 middle
    ButtonUp,
    Resized, // a, b: the new client size; 0 x 0 when minimised
    Close,   // the close box, or the session asking the program to end
    FocusGained,
    FocusLost,
    Quit, // a: exit code
    // Reported only after platformReportExtraEvents(true):
    MouseWheel,  // a: notches turned, positive away from the user
    FileDropped, // platformDroppedFile() names the file
    Exposed,     // the window's picture was lost (uncovered): draw it again
};

struct Event {
    EventType type;
    int a = 0;
    int b = 0;
    int c = 0;
};

// An RGBA picture, 4 bytes a pixel, rows from top to bottom.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Connects to the display; false with a reason when there is none. Balanced by
// platformCloseDisplay, which also releases whatever window and context are left. `headless`:
// a real GL context drawn into memory (SDL's offscreen driver), for tools and tests.
bool platformOpenDisplay(std::string* reason, bool headless = false);
void platformCloseDisplay();

bool platformChooseFormat(int colorBits, int depthBits);
bool platformCreateWindow(const char* title, int width, int height, const Image* icon);
// A build with the leak checker also keeps the GL driver's modules loaded from here on: the
// checker runs after main, when the driver would be unloaded, and the allocations it keeps for
// the context would show without a module to name them (the suppressions name its modules).
bool platformCreateContext();
// false: no context current afterwards.
bool platformMakeCurrent(bool current);
void platformDeleteContext();
void platformDestroyWindow();
void platformShowWindow();
// Resizes the client area (a tool's scripted resize). The context follows where the system
// has to give the window a new drawable for it (SDL's offscreen driver).
void platformSetWindowSize(int width, int height);
// Switches the window between desktop fullscreen and its windowed size; the new client size
// arrives as a Resized event.
void platformToggleFullscreen();
// true when a real GL context is current (never on the null platform).
bool platformGLCurrent();
void platformSwapBuffers();

// The next pending event, without waiting; false when there is none.
bool platformPollEvent(Event* event);
// Whether the wheel, dropped files and exposures are reported (off at first: the demo's loop
// spends a turn on every event it is given, so new kinds would change its timing).
void platformReportExtraEvents(bool report);
// The path of the last FileDropped event polled ("" before the first).
std::string platformDroppedFile();

// A box with an OK button; where none can be shown, "CAPTION: TEXT" goes to standard error.
// With a sink installed (tests), the sink gets it instead.
enum class MessageBoxIcon { Exclamation, Information };
void platformMessageBox(const char* caption, const char* text, MessageBoxIcon icon);
using MessageBoxSink = void (*)(void* context, const char* caption, const char* text,
                                MessageBoxIcon icon);
void platformSetMessageBoxSink(MessageBoxSink sink, void* context);

// A BMP file held in memory; false with a reason when it is not one SDL can read.
bool platformDecodeBmp(const void* data, std::size_t size, Image* image, std::string* error);

// The high-resolution counter the frame timer reads: signed ticks at a fixed rate. A tool may
// install another source (a virtual clock); null restores the real counter. With no counter
// the frequency reads 0.
struct CounterSource {
    std::int64_t (*frequency)(void* context);
    std::int64_t (*counter)(void* context);
    void* context;
};
std::int64_t platformCounterFrequency();
std::int64_t platformCounter();
void platformSetCounterSource(const CounterSource* source);
// Seconds since the kernel started this process (10 ms steps), so that a time to the first frame
// includes loading the program and its libraries; -1 when the system does not say.
double platformSecondsSinceProcessStart();
