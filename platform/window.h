// The window system the shell runs on: window class and windows, the message queue, the
// keyboard focus, device and rendering contexts, buffer swaps and message boxes.
//
// Contract:
// - One thread. Every call here comes from the thread that runs the loop.
// - The queue is the platform's own. Device input (from SDL, or scripted through
//   platformPostInput) is turned into messages when the queue is looked at, in arrival order;
//   keyboard messages are addressed to the window with the keyboard focus, mouse messages to
//   the topmost visible window under the cursor (or to the one holding the capture while a
//   button is down). A posted quit is removed only when nothing else is queued, and ends the
//   loop; it is never dispatched.
// - Messages the platform sends itself (WM_CREATE, WM_INITDIALOG, WM_SIZE on the first show,
//   WM_SETFOCUS/WM_KILLFOCUS, WM_DESTROY) call the window procedure directly, before the call
//   that caused them returns.
// - Windows: one top-level window with a native window behind it, and child windows with no
//   native part that the shell draws itself (the status bar strip, docked at the bottom, and
//   dialogs owned by the top-level window, which are hidden until shown and take the keyboard
//   focus when shown). Destroying a window destroys its children first.
// - Sizes and positions are client pixels, x right, y down, origin at the top-left of the
//   top-level window's client area. Mouse messages addressed to a child keep these
//   coordinates.
// - Handles are owned here; a handle is invalid after its destroy call. Calls with a null or
//   stale handle fail (or do nothing) rather than crash.
#pragma once

#include "platform/messages.h"

#include <cstdint>
#include <string>
#include <vector>

// An RGBA picture, 4 bytes a pixel, rows from top to bottom.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

struct WindowClass {
    const char* name;
    WindowProc procedure;
    // Copied at registration; null or empty for no icon.
    const Image* icon;
};

// The pixel-format request record. The platform honours the flags, the pixel type, the colour
// bits (16 asks for 5-6-5, more for 8 bits a channel), alpha, depth and stencil bits; the
// other fields must be zero.
struct PixelFormatRequest {
    std::uint16_t size;
    std::uint16_t version;
    std::uint32_t flags;
    std::uint8_t pixelType;
    std::uint8_t colorBits;
    std::uint8_t redBits, redShift, greenBits, greenShift, blueBits, blueShift;
    std::uint8_t alphaBits, alphaShift;
    std::uint8_t accumBits, accumRedBits, accumGreenBits, accumBlueBits, accumAlphaBits;
    std::uint8_t depthBits;
    std::uint8_t stencilBits;
    std::uint8_t auxBuffers;
    std::uint8_t layerType;
    std::uint8_t reserved;
    std::uint32_t layerMask;
    std::uint32_t visibleMask;
    std::uint32_t damageMask;
};
static_assert(sizeof(PixelFormatRequest) == 40, "the request record is 40 bytes");

constexpr std::uint32_t PFD_DOUBLEBUFFER = 0x00000001;
constexpr std::uint32_t PFD_DRAW_TO_WINDOW = 0x00000004;
constexpr std::uint32_t PFD_SUPPORT_OPENGL = 0x00000020;
constexpr std::uint8_t PFD_TYPE_RGBA = 0;
constexpr std::uint8_t PFD_MAIN_PLANE = 0;

struct PlatformDC;
struct PlatformRC;
using DeviceContext = PlatformDC*;
using RenderingContext = PlatformRC*;

// Height of a status window strip in pixels.
constexpr int statusWindowHeight = 20;

// --- Display -----------------------------------------------------------------------------
// Connects to the display (SDL's video subsystem). false with a reason when there is none;
// every window call then fails. Balanced by platformCloseDisplay.
bool platformOpenDisplay(std::string* reason);
void platformCloseDisplay();

// --- Window class and windows --------------------------------------------------------------
// Registering the class brings the window system up (SDL video); false when it cannot, or when
// a class of that name is registered already.
bool platformRegisterClass(const WindowClass* windowClass);
// false when no class of that name is registered.
bool platformUnregisterClass(const char* name);
// A hidden top-level window whose client area is width x height; null on failure. Sends
// WM_CREATE before returning.
WindowHandle platformCreateWindow(const char* className, const char* title, int width, int height);
// A visible status strip along the bottom of parent's client area, statusWindowHeight high;
// its procedure is platformDefWindowProc.
WindowHandle platformCreateStatusWindow(WindowHandle parent, int id);
// A hidden dialog owned by owner, width x height at x, y; sends WM_INITDIALOG.
WindowHandle platformCreateDialog(WindowHandle owner, WindowProc procedure, int x, int y, int width,
                                  int height);
// Destroys the children, then the window (each gets WM_DESTROY). false for an invalid handle.
bool platformDestroyWindow(WindowHandle window);
bool platformIsWindow(WindowHandle window);
// Showing a top-level window the first time sends it WM_SIZE with its client size. Showing a
// dialog gives it the keyboard focus; hiding the window with the focus gives the focus back
// to its owner.
void platformShowWindow(WindowHandle window, bool show);
bool platformIsWindowVisible(WindowHandle window);
void platformSetForegroundWindow(WindowHandle window);
// Sends WM_KILLFOCUS to the window losing the focus and WM_SETFOCUS to the one gaining it.
void platformSetFocus(WindowHandle window);
WindowHandle platformGetFocus();
// Hides a dialog; it stays alive so that it can be shown again.
void platformEndDialog(WindowHandle dialog, int result);
int platformDialogResult(WindowHandle dialog);
// Client size of a top-level window, or the rectangle of a child.
bool platformGetClientSize(WindowHandle window, int* width, int* height);
bool platformGetWindowRect(WindowHandle window, int* x, int* y, int* width, int* height);
// Moves a child (the shell moves its dialogs when the user drags them).
void platformSetWindowRect(WindowHandle window, int x, int y, int width, int height);
// Resizes a top-level window's client area and posts WM_SIZE (a height or width of 0 stands
// for a minimised window: the native window keeps its size).
void platformSetClientSize(WindowHandle window, int width, int height);
WindowHandle platformGetParent(WindowHandle window);
int platformGetWindowId(WindowHandle window);

// --- Messages ------------------------------------------------------------------------------
// Looks at the queue without waiting; true when a message was there (removed when remove is
// true). Pending device input is translated first.
bool platformPeekMessage(Message* message, bool remove);
// Queues a message for window (null: a thread message); false for an invalid window.
bool platformPostMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);
// Device input as the hardware would deliver it: keyboard messages go to the focus, mouse
// messages to the window under the cursor; clicking a window gives it the focus.
void platformPostInput(std::uint32_t message, WParam wParam, LParam lParam);
// The quit request: WM_QUIT with this exit code once nothing else is queued.
void platformPostQuitMessage(int exitCode);
// Calls the window's procedure now; 0 for an invalid window.
LResult platformSendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                            LParam lParam);
// Key presses of character keys also queue WM_CHAR; true when one was queued.
bool platformTranslateMessage(const Message* message);
LResult platformDispatchMessage(const Message* message);
// What a window does with a message it does not handle: nothing, result 0.
LResult platformDefWindowProc(WindowHandle window, std::uint32_t message, WParam wParam,
                              LParam lParam);

// --- Device and rendering contexts ---------------------------------------------------------
DeviceContext platformGetDC(WindowHandle window);
bool platformReleaseDC(WindowHandle window, DeviceContext dc);
// 0 when no format can satisfy the request, else a format number.
int platformChoosePixelFormat(DeviceContext dc, const PixelFormatRequest* request);
bool platformSetPixelFormat(DeviceContext dc, int format, const PixelFormatRequest* request);
RenderingContext platformCreateContext(DeviceContext dc);
// Both null: no context current.
bool platformMakeCurrent(DeviceContext dc, RenderingContext rc);
bool platformDeleteContext(RenderingContext rc);
bool platformSwapBuffers(DeviceContext dc);
// true when a real GL context is current (false on the null window system).
bool platformGLCurrent();

// --- Message boxes -------------------------------------------------------------------------
enum class MessageBoxIcon { Exclamation, Information };
// A box with an OK button; owner may be null. With a sink installed, the sink gets it instead;
// where no display can show a box, "CAPTION: TEXT" goes to standard error.
void platformMessageBox(WindowHandle owner, const char* text, const char* caption,
                        MessageBoxIcon icon);
using MessageBoxSink = void (*)(void* context, const char* caption, const char* text,
                                MessageBoxIcon icon);
// null restores the real boxes.
void platformSetMessageBoxSink(MessageBoxSink sink, void* context);

// --- Pictures ------------------------------------------------------------------------------
// Decodes a BMP file held in memory (1, 4, 8, 24 or 32 bits a pixel). false with a reason when
// the bytes are not a BMP this can read.
bool platformDecodeBmp(const void* data, std::size_t size, Image* image, std::string* error);
