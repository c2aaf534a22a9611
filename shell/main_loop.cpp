#include "shell/main_loop.h"

#include "shell/about_panel.h"
#include "shell/app_window.h"
#include "shell/overlay.h"
#include "shell/screenshot.h"
#include "shell/shell.h"
#include "shell/window_proc.h"
#include "platform/platform.h"

bool runLoopTurn(const LoopHooks* hooks, std::int64_t turn, int* exitCode) {
    bool done = false;
    if (hooks != nullptr && hooks->beforeTurn != nullptr) {
        hooks->beforeTurn(hooks->context, turn);
    }
    if (Message message; shellPeekMessage(&message)) {
        if (message.event.type == EventType::Quit) {
            *exitCode = message.event.a;
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
    if (shell.screenshotPending) {
        shell.screenshotPending = false;
        showStatusNote(saveScreenshot());
    } else if (shell.noteShowing && platformCounter() >= shell.noteUntil) {
        recreateStatusBar(); // the size text back
    }
    if (hooks != nullptr && hooks->framePresenting != nullptr) {
        hooks->framePresenting(hooks->context, turn, done);
    }
    platformSwapBuffers();
    if (hooks != nullptr && hooks->afterTurn != nullptr &&
        !hooks->afterTurn(hooks->context, turn)) {
        return false;
    }
    return !done;
}

int runMainLoop(const LoopHooks* hooks) {
    // The quit request's code; every other way out (Escape, a hook) ends with 0, as the key
    // message removed last carries a key code, not an exit code.
    int exitCode = 0;
    for (std::int64_t turn = 1; runLoopTurn(hooks, turn, &exitCode); ++turn) {
    }
    return exitCode;
}

bool startApp(int width, int height) {
    shell.procedure = mainWindowProcedure;
    if (!createAppWindow("Velmora Demo", width, height, 16)) {
        return false;
    }
    createAboutPanel();
    shellSetFocus(Target::Main);
    return true;
}

int appMain(int width, int height, const LoopHooks* hooks) {
    if (!startApp(width, height)) {
        return 0;
    }
    int exitCode = runMainLoop(hooks);
    destroyAppWindow();
    return exitCode;
}
