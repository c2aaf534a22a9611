#include "app/window_proc.h"

#include "app/app_window.h"
#include "app/shell.h"

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
