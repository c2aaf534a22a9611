#include "view/view_loop.h"

#include "view/overlay.h"

#include <algorithm>
#include <iterator>

KeyResult viewLoopEvent(ViewLoop& loop, Viewer& viewer, const Event& e, bool overlayHasMouse,
                        double now) {
    // A bare pointer move changes nothing unless a panel is there to react to it.
    if (e.type != EventType::MouseMove || viewer.settings.help || !viewer.error.empty() ||
        !viewer.notices.empty()) {
        loop.framesDue = 2;
    }
    KeyResult result = KeyResult::Ignored;
    switch (e.type) {
    case EventType::Close:
        loop.running = false;
        break;
    case EventType::Resized:
        loop.width = e.a;
        loop.height = e.b;
        break;
    case EventType::KeyDown:
    case EventType::KeyUp:
        if (e.a > 0 && e.a < 256) {
            const bool down = e.type == EventType::KeyDown;
            const bool repeat = down && loop.held[e.a];
            loop.held[e.a] = down;
            result = down ? viewer.key(e.a, repeat, now) : KeyResult::Ignored;
            loop.running = loop.running && result != KeyResult::Quit;
            loop.screenshotDue = loop.screenshotDue || result == KeyResult::Screenshot;
        }
        break;
    case EventType::FocusLost:
        std::fill(std::begin(loop.held), std::end(loop.held), false);
        for (int button = 0; button < 3; ++button) {
            viewer.buttonUp(button);
        }
        break;
    case EventType::ButtonDown:
        if (!overlayHasMouse) {
            viewer.buttonDown(e.c, e.a, e.b);
        }
        break;
    case EventType::ButtonUp:
        viewer.buttonUp(e.c);
        break;
    case EventType::MouseMove:
        viewer.mouseMove(e.a, e.b, loop.height - viewStatusBarHeight, now);
        break;
    case EventType::MouseWheel:
        if (!overlayHasMouse) {
            viewer.wheel(e.a, now);
        }
        break;
    case EventType::FileDropped:
        viewer.openPath(platformDroppedFile(), now);
        break;
    default:
        break;
    }
    return result;
}

bool viewLoopFrameDue(ViewLoop& loop, Viewer& viewer, const ShownModel* shown, double now) {
    if (viewer.checkWatch(now) || viewer.model.get() != shown) {
        loop.framesDue = 2;
    }
    const bool moving = viewer.moving(now);
    const bool outlineDue = !moving && !loop.outlinedLast;
    const bool noteEnded = !viewer.note.empty() && now >= viewer.noteUntil;
    if (noteEnded) {
        viewer.note.clear();
    }
    if (!loop.running || (loop.framesDue == 0 && !moving && !outlineDue && !noteEnded)) {
        return false;
    }
    loop.framesDue = std::max(loop.framesDue - 1, 0);
    return true;
}
