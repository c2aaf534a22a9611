#include "app/main_loop.h"

#include "app/about_panel.h"
#include "app/app_window.h"
#include "app/overlay.h"
#include "app/scene_calls.h"
#include "app/shell_state.h"
#include "platform/window.h"

namespace {

// Set while the key is seen down, so that holding it acts once per press.
bool dialogLatch = false;
bool cameraModeLatch = false;
bool pathLatch = false;

void latchedToggle(int key, bool* latch, bool* flag) {
    if (keyTable[key]) {
        if (!*latch) {
            *latch = true;
            *flag = !*flag;
        }
    } else {
        *latch = false;
    }
}

} // namespace

bool applyIdleKeys() {
    bool done = keyTable[VK_ESCAPE];
    if (keyTable[VK_F1]) {
        if (!dialogLatch) {
            dialogLatch = true;
            showAboutPanel();
        }
    } else {
        dialogLatch = false;
    }
    latchedToggle('C', &cameraModeLatch, &freeCamera);
    latchedToggle('P', &pathLatch, &showPath);
    const SceneCalls& calls = sceneCalls();
    if (keyTable[VK_UP]) {
        calls.moveForward();
    }
    if (keyTable[VK_DOWN]) {
        calls.moveBack();
    }
    if (keyTable[VK_LEFT]) {
        calls.strafeLeft();
    }
    if (keyTable[VK_RIGHT]) {
        calls.strafeRight();
    }
    if (keyTable[VK_ADD]) {
        speedDivisor -= 1.0f;
        if (speedDivisor < 1.0f) {
            speedDivisor = 1.0f;
        }
        writeSpeedText();
    }
    if (keyTable[VK_SUBTRACT]) {
        speedDivisor += 1.0f;
        if (speedDivisor > 10.0f) {
            speedDivisor = 10.0f;
        }
        writeSpeedText();
    }
    return done;
}

int runMainLoop(const LoopHooks* hooks) {
    Message message{nullptr, WM_NULL, 0, 0};
    // The quit message's wParam; every other way out (Escape, a hook) ends with 0, as the key
    // message removed last carries a key code, not an exit code.
    int exitCode = 0;
    bool done = false;
    for (std::int64_t turn = 1; !done; ++turn) {
        if (hooks != nullptr && hooks->beforeTurn != nullptr) {
            hooks->beforeTurn(hooks->context, turn);
        }
        if (platformPeekMessage(&message, true)) {
            if (message.message == WM_QUIT) {
                exitCode = static_cast<int>(message.wParam);
                done = true;
            } else {
                overlayObserveMessage(message);
                platformTranslateMessage(&message);
                platformDispatchMessage(&message);
            }
        } else if (applyIdleKeys()) {
            done = true;
        }
        sceneCalls().drawScene();
        overlayDrawFrame();
        if (hooks != nullptr && hooks->framePresenting != nullptr) {
            hooks->framePresenting(hooks->context, turn);
        }
        platformSwapBuffers(deviceContext);
        if (hooks != nullptr && hooks->afterTurn != nullptr &&
            !hooks->afterTurn(hooks->context, turn)) {
            break;
        }
    }
    return exitCode;
}

int appMain(int width, int height, const LoopHooks* hooks) {
    if (!createAppWindow("Velmora Demo", width, height, 16)) {
        return 0;
    }
    createAboutPanel();
    platformSetFocus(mainWindow);
    int exitCode = runMainLoop(hooks);
    destroyAppWindow();
    return exitCode;
}

void resetLoopState() {
    dialogLatch = false;
    cameraModeLatch = false;
    pathLatch = false;
}
