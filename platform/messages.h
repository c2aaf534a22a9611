// The message record the loop removes from the queue and the window procedures receive.
//
// The shape is the one the shell was designed against: a target window, a message number and
// two parameters. Message numbers and virtual-key codes keep their customary values so that a
// recorded script or a test reads the same as a trace from the original system:
// - keys: wParam is the virtual-key code (always below 256), lParam bit 30 is set on an
//   auto-repeat and bit 31 on a release;
// - mouse: lParam holds the cursor's client x in its low 16 bits and y in the next 16 (signed
//   halves, so a captured cursor left of or above the window reads negative), wParam the
//   buttons held (MK_*);
// - WM_SIZE: wParam SIZE_*, lParam the client width (low) and height (high);
// - WM_QUIT: wParam the exit code; it is never dispatched.
#pragma once

#include <cstdint>

struct PlatformWindow;
// Owned by the platform; null means "no window" (a thread message, or no focus).
using WindowHandle = PlatformWindow*;

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;
using WindowProc = LResult (*)(WindowHandle window, std::uint32_t message, WParam wParam,
                               LParam lParam);

struct Message {
    WindowHandle window;
    std::uint32_t message;
    WParam wParam;
    LParam lParam;
};

constexpr std::uint32_t WM_NULL = 0x0000;
constexpr std::uint32_t WM_CREATE = 0x0001;
constexpr std::uint32_t WM_DESTROY = 0x0002;
constexpr std::uint32_t WM_SIZE = 0x0005;
constexpr std::uint32_t WM_ACTIVATE = 0x0006;
constexpr std::uint32_t WM_SETFOCUS = 0x0007;
constexpr std::uint32_t WM_KILLFOCUS = 0x0008;
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_QUIT = 0x0012;
constexpr std::uint32_t WM_SHOWWINDOW = 0x0018;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_KEYUP = 0x0101;
constexpr std::uint32_t WM_CHAR = 0x0102;
constexpr std::uint32_t WM_INITDIALOG = 0x0110;
constexpr std::uint32_t WM_COMMAND = 0x0111;
constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
constexpr std::uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr std::uint32_t WM_MBUTTONUP = 0x0208;
constexpr std::uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr std::uint32_t WM_MOUSELEAVE = 0x02A3;

// WM_SIZE wParam.
constexpr WParam SIZE_RESTORED = 0;
constexpr WParam SIZE_MINIMIZED = 1;
constexpr WParam SIZE_MAXIMIZED = 2;
// WM_ACTIVATE wParam.
constexpr WParam WA_INACTIVE = 0;
constexpr WParam WA_ACTIVE = 1;
// WM_SYSCOMMAND wParam (the low four bits are the system's own).
constexpr WParam SC_CLOSE = 0xF060;
constexpr WParam SC_SCREENSAVE = 0xF140;
constexpr WParam SC_MONITORPOWER = 0xF170;
// Mouse message wParam.
constexpr WParam MK_LBUTTON = 0x0001;
constexpr WParam MK_RBUTTON = 0x0002;
constexpr WParam MK_MBUTTON = 0x0010;
// WM_COMMAND: the OK button's id.
constexpr int IDOK = 1;

// Virtual-key codes the shell reads; letters and digits are their upper-case ASCII codes.
constexpr int VK_BACK = 8;
constexpr int VK_TAB = 9;
constexpr int VK_RETURN = 13;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_MENU = 18;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_ADD = 107;
constexpr int VK_SUBTRACT = 109;
constexpr int VK_F1 = 112;

constexpr std::uint16_t loWord(std::uintptr_t value) {
    return static_cast<std::uint16_t>(value & 0xFFFF);
}
constexpr std::uint16_t hiWord(std::uintptr_t value) {
    return static_cast<std::uint16_t>((value >> 16) & 0xFFFF);
}
// Two 16-bit halves; each value keeps only its low 16 bits.
constexpr LParam makeLParam(int low, int high) {
    return static_cast<LParam>((static_cast<std::uint32_t>(low) & 0xFFFF) |
                               ((static_cast<std::uint32_t>(high) & 0xFFFF) << 16));
}
// The signed halves of a mouse position.
constexpr int xFromLParam(LParam lParam) {
    return static_cast<std::int16_t>(loWord(static_cast<std::uintptr_t>(lParam)));
}
constexpr int yFromLParam(LParam lParam) {
    return static_cast<std::int16_t>(hiWord(static_cast<std::uintptr_t>(lParam)));
}
