#include "app/window_proc.h"

#include "app/app_window.h"
#include "app/scene_calls.h"
#include "app/shell_state.h"
#include "platform/window.h"

LResult windowProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_SIZE:
        resizeViewport(loWord(static_cast<std::uintptr_t>(lParam)),
                       hiWord(static_cast<std::uintptr_t>(lParam)));
        recreateStatusBar();
        return 0;
    case WM_ACTIVATE:
        return 0;
    case WM_CLOSE:
        platformPostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wParam < 256) {
            keyTable[wParam] = message == WM_KEYDOWN;
        }
        return 0;
    case WM_KILLFOCUS:
        for (bool& key : keyTable) {
            key = false;
        }
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) {
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        sceneCalls().mouseMoved(xFromLParam(lParam), yFromLParam(lParam));
        break;
    case WM_MOUSELEAVE:
        sceneCalls().mouseLeft();
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        return 0;
    default:
        break;
    }
    return platformDefWindowProc(window, message, wParam, lParam);
}
