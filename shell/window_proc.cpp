#include "shell/window_proc.h"

#include "scene/scene_state.h"
#include "shell/about_panel.h"
#include "shell/app_window.h"

#include <algorithm>

namespace {

bool down(int key) {
    return shell.keyTable[key] || shell.keyPressed[key];
}

// Acts once per press: on the first idle turn that sees the key down, or that follows a new
// press of it.
bool pressed(int key, bool* latch) {
    if (!down(key)) {
        *latch = false;
        return false;
    }
    bool first = !*latch || shell.keyPressed[key];
    *latch = true;
    return first;
}

} // namespace

void windowProc(const Event& event) {
    switch (event.type) {
    case EventType::Resized:
        resizeAppWindow(event.a, event.b);
        break;
    case EventType::Close:
        shellPostQuit(0);
        break;
    case EventType::KeyDown:
    case EventType::KeyUp:
        if (event.a >= 0 && event.a < 256) {
            const bool isDown = event.type == EventType::KeyDown;
            // A repeat of a held key is no new press.
            shell.keyPressed[event.a] |= isDown && !shell.keyTable[event.a];
            shell.keyTable[event.a] = isDown;
        }
        break;
    case EventType::MouseMove:
        cameraMouseMoved(scene.camera, event.a, event.b);
        break;
    case EventType::MouseLeave:
        cameraMouseLeft(scene.camera);
        break;
    default:
        break;
    }
}

void windowProcFocusLost() {
    for (int key = 0; key < 256; ++key) {
        shell.keyTable[key] = shell.keyPressed[key] = false;
    }
}

bool applyIdleKeys() {
    SceneInput& s = shell.scene;
    // Read first: showing the About panel below takes the focus and releases every key.
    const bool escape = down(VK_ESCAPE);
    const bool showPanel = pressed(VK_F1, &shell.dialogLatch);
    // Both latches are updated every turn, whichever key asks.
    const bool f11 = pressed(VK_F11, &shell.fullscreenLatch);
    const bool altReturn = pressed(VK_RETURN, &shell.returnLatch) && down(VK_MENU);
    if (f11 || altReturn) {
        platformToggleFullscreen();
    }
    if (pressed(VK_F12, &shell.screenshotLatch)) {
        shell.screenshotPending = true;
    }
    if (showPanel) {
        showAboutPanel();
    }
    if (pressed('C', &shell.cameraModeLatch)) {
        s.freeCamera = !s.freeCamera;
    }
    if (pressed('P', &shell.pathLatch)) {
        s.showPath = !s.showPath;
    }
    if (down(VK_UP)) {
        cameraMoveForward(scene.camera);
    }
    if (down(VK_DOWN)) {
        cameraMoveBack(scene.camera);
    }
    if (down(VK_LEFT)) {
        cameraStrafeLeft(scene.camera);
    }
    if (down(VK_RIGHT)) {
        cameraStrafeRight(scene.camera);
    }
    if (down(VK_ADD)) {
        s.speedDivisor = std::max(s.speedDivisor - 1.0f, 1.0f);
        writeSpeedText();
    }
    if (down(VK_SUBTRACT)) {
        s.speedDivisor = std::min(s.speedDivisor + 1.0f, 10.0f);
        writeSpeedText();
    }
    std::fill(std::begin(shell.keyPressed), std::end(shell.keyPressed), false);
    return escape;
}
