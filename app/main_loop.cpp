#include "app/main_loop.h"

#include "app/about_panel.h"
#include "app/app_window.h"
#include "app/overlay.h"
#include "app/shell.h"
#include "platform/platform.h"

namespace {

// Acts once per press: on the first idle turn that sees the key down.
bool pressed(int key, bool* latch) {
    if (!shell.keyTable[key]) {
        *latch = false;
        return false;
    }
    bool first = !*latch;
    *latch = true;
    return first;
}

} // namespace

void windowProc(const Event& event) {
    switch (event.type) {
    case EventType::Resized:
        resizeViewport(event.a, event.b);
        recreateStatusBar();
        break;
    case EventType::Close:
        shellPostQuit(0);
        break;
    case EventType::KeyDown:
    case EventType::KeyUp:
        if (event.a >= 0 && event.a < 256) {
            shell.keyTable[event.a] = event.type == EventType::KeyDown;
        }
        break;
    case EventType::MouseMove:
        cameraMouseMoved(event.a, event.b);
        break;
    case EventType::MouseLeave:
        cameraMouseLeft();
        break;
    default:
        break;
    }
}

void windowProcFocusLost() {
    for (bool& key : shell.keyTable) {
        key = false;
    }
}

bool applyIdleKeys() {
    const bool* keys = shell.keyTable;
    SceneInput& s = shell.scene;
    // Read first: showing the About panel below takes the focus and releases every key.
    const bool escape = keys[VK_ESCAPE];
    if (pressed(VK_F1, &shell.dialogLatch)) {
        showAboutPanel();
    }
    if (pressed('C', &shell.cameraModeLatch)) {
        s.freeCamera = !s.freeCamera;
    }
    if (pressed('P', &shell.pathLatch)) {
        s.showPath = !s.showPath;
    }
    if (keys[VK_UP]) {
        cameraMoveForward();
    }
    if (keys[VK_DOWN]) {
        cameraMoveBack();
    }
    if (keys[VK_LEFT]) {
        cameraStrafeLeft();
    }
    if (keys[VK_RIGHT]) {
        cameraStrafeRight();
    }
    if (keys[VK_ADD]) {
        s.speedDivisor -= 1.0f;
        if (s.speedDivisor < 1.0f) {
            s.speedDivisor = 1.0f;
        }
        writeSpeedText();
    }
    if (keys[VK_SUBTRACT]) {
        s.speedDivisor += 1.0f;
        if (s.speedDivisor > 10.0f) {
            s.speedDivisor = 10.0f;
        }
        writeSpeedText();
    }
    return escape;
}

int runMainLoop(const LoopHooks* hooks) {
    // The quit request's code; every other way out (Escape, a hook) ends with 0, as the key
    // message removed last carries a key code, not an exit code.
    int exitCode = 0;
    bool done = false;
    for (std::int64_t turn = 1; !done; ++turn) {
        if (hooks != nullptr && hooks->beforeTurn != nullptr) {
            hooks->beforeTurn(hooks->context, turn);
        }
        if (Message message; shellPeekMessage(&message)) {
            if (message.event.type == EventType::Quit) {
                exitCode = message.event.a;
                done = true;
            } else {
                overlayObserveMessage(message);
                shellTranslateMessage(message);
                shellDispatchMessage(message);
            }
        } else if (applyIdleKeys()) {
            done = true;
        }
        SceneTexts texts;
        drawScene(shell.scene, &texts);
        if (texts.frameRate[0] != '\0') {
            shell.status[2] = texts.frameRate;
        }
        overlayDrawFrame();
        if (hooks != nullptr && hooks->framePresenting != nullptr) {
            hooks->framePresenting(hooks->context, turn);
        }
        platformSwapBuffers();
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
    shellSetFocus(Target::Main);
    int exitCode = runMainLoop(hooks);
    destroyAppWindow();
    return exitCode;
}
