#include "shell/shell.h"

#include <algorithm>

Shell shell;

void resetShell() {
    shell = Shell{};
}

namespace {

// The character a key press types on a US layout, 0 for none.
unsigned typedCharacter(int key, bool shift) {
    if (key >= 'A' && key <= 'Z') {
        return static_cast<unsigned>(shift ? key : key - 'A' + 'a');
    }
    if ((key >= '0' && key <= '9') || key == VK_BACK || key == VK_TAB || key == VK_RETURN ||
        key == VK_ESCAPE || key == VK_SPACE) {
        return static_cast<unsigned>(key);
    }
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9) {
        return static_cast<unsigned>('0' + key - VK_NUMPAD0);
    }
    // Keypad operators from VK_MULTIPLY, then the punctuation keys.
    constexpr char keypad[] = "*+\0-./";
    constexpr char punctuation[] = ";=,-./`";
    constexpr char brackets[] = "[\\]'";
    if (key >= VK_MULTIPLY && key <= VK_DIVIDE) {
        return static_cast<unsigned char>(keypad[key - VK_MULTIPLY]);
    }
    if (key >= VK_OEM_1 && key < VK_OEM_1 + 7) {
        return static_cast<unsigned char>(punctuation[key - VK_OEM_1]);
    }
    if (key >= VK_OEM_4 && key < VK_OEM_4 + 4) {
        return static_cast<unsigned char>(brackets[key - VK_OEM_4]);
    }
    return 0;
}

Target targetAt(int x, int y) {
    if (shell.aboutVisible && shell.aboutRect.contains(x, y)) {
        return Target::Panel;
    }
    if (shell.statusBar.contains(x, y)) {
        return Target::StatusBar;
    }
    return Target::Main;
}

void routeMouse(const Event& event) {
    Target target = shell.capture != Target::None ? shell.capture : targetAt(event.a, event.b);
    if (shell.mouseOver == Target::Main && target != Target::Main) {
        shellPost(Target::Main, Event{EventType::MouseLeave});
    }
    shell.mouseOver = target;
    const unsigned button = event.type == EventType::MouseMove ? 0u : 1u << event.c;
    if (event.type == EventType::ButtonDown) {
        if (shell.buttonsDown == 0) {
            shell.capture = target;
        }
        shell.buttonsDown |= button;
        shellSetFocus(target == Target::StatusBar ? Target::Main : target);
    } else if (event.type == EventType::ButtonUp) {
        shell.buttonsDown &= ~button;
        if (shell.buttonsDown == 0) {
            shell.capture = Target::None;
        }
    }
    shellPost(target, event);
}

void focusChanged(bool gained) {
    if (gained && !shell.active) {
        shell.active = true;
        // A click while inactive chose the focus already; a panel hidden meanwhile cannot take
        // the keyboard back, or the main window would get no key until clicked.
        Target restore = shell.focusWhenInactive;
        if (restore == Target::None || (restore == Target::Panel && !shell.aboutVisible)) {
            restore = Target::Main;
        }
        shell.focusWhenInactive = Target::None;
        if (shell.focus == Target::None) {
            shellSetFocus(restore);
        }
    } else if (!gained && shell.active) {
        shell.active = false;
        shell.focusWhenInactive = shell.focus;
        shellSetFocus(Target::None);
    }
}

void resized(int width, int height) {
    shell.reportedWidth = width;
    shell.reportedHeight = height;
    if (width > 0 && height > 0) {
        shell.clientWidth = width;
        shell.clientHeight = height;
    }
    shellPost(Target::Main, Event{EventType::Resized, width, height});
}

} // namespace

void shellPostInput(const Event& event) {
    if (!shell.window) {
        return;
    }
    switch (event.type) {
    case EventType::KeyDown:
    case EventType::KeyUp:
        if (event.a == VK_SHIFT) {
            shell.shiftDown = event.type == EventType::KeyDown;
        }
        if (shell.focus != Target::None) {
            shellPost(shell.focus, event);
        }
        break;
    case EventType::ButtonDown:
    case EventType::ButtonUp:
        // Left, right and middle only: the button indexes the held-button bits.
        if (event.c < 0 || event.c > 2) {
            break;
        }
        [[fallthrough]];
    case EventType::MouseMove:
        routeMouse(event);
        break;
    case EventType::MouseLeave:
        if (shell.mouseOver == Target::Main && shell.capture == Target::None) {
            shellPost(Target::Main, event);
        }
        if (shell.capture == Target::None) {
            shell.mouseOver = Target::None;
        }
        break;
    case EventType::Resized:
        if (event.a != shell.reportedWidth || event.b != shell.reportedHeight) {
            resized(event.a, event.b);
        }
        break;
    case EventType::FocusGained:
    case EventType::FocusLost:
        focusChanged(event.type == EventType::FocusGained);
        break;
    default:
        shellPost(Target::Main, event);
        break;
    }
}

void shellPost(Target target, const Event& event) {
    shell.queue.push_back(Message{target, event});
}

void shellPostQuit(int exitCode) {
    shell.quitPosted = true;
    shell.quitCode = exitCode;
}

void shellSetClientSize(int width, int height) {
    if (!shell.window) {
        return;
    }
    if (width > 0 && height > 0) {
        platformSetWindowSize(width, height);
    }
    resized(width, height);
}

bool shellPeekMessage(Message* message) {
    for (Event event{EventType::Quit}; platformPollEvent(&event);) {
        shellPostInput(event);
    }
    if (!shell.queue.empty()) {
        *message = shell.queue.front();
        shell.queue.pop_front();
        return true;
    }
    if (shell.quitPosted) {
        *message = Message{Target::None, Event{EventType::Quit, shell.quitCode}};
        shell.quitPosted = false;
        return true;
    }
    return false;
}

void shellTranslateMessage(const Message& message) {
    if (message.event.type != EventType::KeyDown) {
        return;
    }
    if (unsigned c = typedCharacter(message.event.a, shell.shiftDown); c != 0) {
        shell.queue.push_front(
            Message{message.target, Event{EventType::Char, static_cast<int>(c)}});
    }
}

void shellDispatchMessage(const Message& message) {
    // The panel and the status strip take nothing from the queue: the overlay has seen the
    // message already.
    if (message.target == Target::Main && shell.window && shell.procedure.message != nullptr) {
        shell.procedure.message(message.event);
    }
}

void shellSetFocus(Target target) {
    if (target == shell.focus) {
        return;
    }
    Target old = shell.focus;
    shell.focus = target;
    if (old == Target::Main && shell.window && shell.procedure.focusLost != nullptr) {
        shell.procedure.focusLost();
    }
}

void shellRecreateStatusStrip() {
    std::erase_if(shell.queue, [](const Message& m) { return m.target == Target::StatusBar; });
    if (shell.capture == Target::StatusBar) {
        shell.capture = Target::None;
        shell.buttonsDown = 0;
    }
    if (shell.mouseOver == Target::StatusBar) {
        shell.mouseOver = Target::None;
    }
    const int height = std::min(statusBarHeight, shell.clientHeight);
    shell.statusBar = Rect{0, shell.clientHeight - height, shell.clientWidth, height};
    for (std::string& text : shell.status) {
        text.clear();
    }
}
