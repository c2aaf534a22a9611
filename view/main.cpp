// velmora-view: any OBJ model, tone-shaded as the demo draws its own, in a window or headless.
#include "model/glm.h"
#include "platform/platform.h"
#include "view/options.h"
#include "ui/gl_window.h"
#include "ui/picture.h"
#include "view/overlay.h"
#include "view/viewer.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

double secondsNow() {
    const std::int64_t frequency = platformCounterFrequency();
    return frequency > 0 ? static_cast<double>(platformCounter()) / static_cast<double>(frequency)
                         : 0.0;
}

bool openWindow(const char* title, int width, int height, bool show) {
    std::string reason;
    if (!platformOpenDisplay(&reason, !show)) {
        std::fprintf(stderr, "velmora-view: no display (%s)\n", reason.c_str());
        return false;
    }
    if (openGlWindow(title, width, height, 32, 24, nullptr) != WindowStep::Done) {
        std::fprintf(stderr, "velmora-view: can't make a %d x %d window with OpenGL\n", width,
                     height);
        platformCloseDisplay();
        return false;
    }
    if (show) {
        platformShowWindow();
    }
    return true;
}

int runHeadless(Viewer& viewer, const ViewOptions& options, double readSeconds) {
    if (!openWindow("velmora-view", options.width, options.height, false)) {
        return 1;
    }
    const int w = options.width;
    const int h = options.height;
    auto frame = [&](double now) {
        const auto start = std::chrono::steady_clock::now();
        viewer.draw(w, h, 0, now);
        glFinish();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    int status = 0;
    const double first = frame(0.0);
    viewer.outlineFrameSeconds = first;
    if (options.benchOrbit > 0) {
        std::printf("first frame: %.3f s after the process started (reading %.3f s, drawing "
                    "%.3f s)\n",
                    platformSecondsSinceProcessStart(), readSeconds, first);
        // A left drag round the model, a frame per mouse move, as fast as frames come.
        bool outlined = true;
        double total = 0.0;
        viewer.buttonDown(0, 0, 0);
        for (int i = 1; i <= options.benchOrbit; ++i) {
            const double now = 0.01 * i;
            viewer.mouseMove(i * 900 / options.benchOrbit, 0, h, now);
            outlined = viewer.outlineNow(now);
            total += frame(now);
        }
        viewer.buttonUp(0);
        std::printf("orbit: %d frames at %d x %d, %.1f frames per second, outline while moving: "
                    "%s\n",
                    options.benchOrbit, w, h, options.benchOrbit / total, outlined ? "yes" : "no");
    }
    if (!options.output.empty()) {
        if (options.benchOrbit > 0) {
            frame(1e9); // at rest again, outline and all
        }
        std::string error;
        if (!writePng(options.output, readBackBuffer(w, h, options.noBackground), &error)) {
            std::fprintf(stderr, "velmora-view: can't write %s\n", error.c_str());
            status = 1;
        }
    }
    viewer.model.reset(); // its texture goes with the context
    platformCloseDisplay();
    return status;
}

// Draws only when something changed, the view moves, a note runs out or the outline is due
// after a move: a still model costs nothing.
int runWindow(Viewer& viewer, const ViewOptions& options) {
    if (!openWindow("Velmora View", options.width, options.height, true)) {
        return 1;
    }
    platformReportExtraEvents(true);
    overlayStart();
    int width = options.width;
    int height = options.height;
    bool held[256] = {};
    bool running = true;
    bool screenshotDue = false;
    int framesDue = 2; // ImGui sizes a new panel on one frame and shows it on the next
    bool outlinedLast = true;
    double averageFrame = 0.0;
    double lastFrameEnd = secondsNow();
    while (running) {
        const double now = secondsNow();
        const ShownModel* shown = viewer.model.get();
        for (Event e{EventType::Quit}; platformPollEvent(&e);) {
            overlayInput(e);
            // A bare pointer move changes nothing unless a panel is there to react to it.
            if (e.type != EventType::MouseMove || viewer.settings.help || !viewer.error.empty() ||
                !viewer.notices.empty()) {
                framesDue = 2;
            }
            switch (e.type) {
            case EventType::Close:
                running = false;
                break;
            case EventType::Resized:
                width = e.a;
                height = e.b;
                break;
            case EventType::KeyDown:
            case EventType::KeyUp:
                if (e.a > 0 && e.a < 256) {
                    const bool down = e.type == EventType::KeyDown;
                    const bool repeat = down && held[e.a];
                    held[e.a] = down;
                    const KeyResult result =
                        down ? viewer.key(e.a, repeat, now) : KeyResult::Ignored;
                    running = running && result != KeyResult::Quit;
                    screenshotDue = screenshotDue || result == KeyResult::Screenshot;
                    if (result == KeyResult::Fullscreen) {
                        platformToggleFullscreen();
                    }
                }
                break;
            case EventType::FocusLost:
                std::fill(std::begin(held), std::end(held), false);
                for (int button = 0; button < 3; ++button) {
                    viewer.buttonUp(button);
                }
                break;
            case EventType::ButtonDown:
                if (!overlayWantsMouse()) {
                    viewer.buttonDown(e.c, e.a, e.b);
                }
                break;
            case EventType::ButtonUp:
                viewer.buttonUp(e.c);
                break;
            case EventType::MouseMove:
                viewer.mouseMove(e.a, e.b, height - viewStatusBarHeight, now);
                break;
            case EventType::MouseWheel:
                if (!overlayWantsMouse()) {
                    viewer.wheel(e.a, now);
                }
                break;
            case EventType::FileDropped:
                viewer.openPath(platformDroppedFile(), now);
                break;
            default:
                break;
            }
        }
        if (viewer.checkWatch(now) || viewer.model.get() != shown) {
            framesDue = 2;
        }
        const bool moving = viewer.moving(now);
        const bool outlineDue = !moving && !outlinedLast;
        const bool noteEnded = !viewer.note.empty() && now >= viewer.noteUntil;
        if (noteEnded) {
            viewer.note.clear();
        }
        if (!running || (framesDue == 0 && !moving && !outlineDue && !noteEnded)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        framesDue = std::max(framesDue - 1, 0);
        const auto start = std::chrono::steady_clock::now();
        const bool outline = viewer.outlineNow(now);
        const int viewHeight = std::max(height - viewStatusBarHeight, 1);
        viewer.draw(width, viewHeight, height - viewHeight, now);
        const double framesPerSecond = averageFrame > 0.0 ? 1.0 / averageFrame : 0.0;
        overlayDraw(viewer, width, height, viewer.statusTexts(framesPerSecond, now),
                    static_cast<float>(now - lastFrameEnd));
        if (screenshotDue) {
            // The whole window, status bar included, as the demo's F12 takes it.
            screenshotDue = false;
            viewer.showNote(saveScreenshot(readBackBuffer(width, height, false)), now, 4.0);
            framesDue = 1;
        }
        platformSwapBuffers();
        glFinish();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        averageFrame = averageFrame > 0.0 ? averageFrame * 0.8 + seconds * 0.2 : seconds;
        outlinedLast = outline;
        if (outline && viewer.settings.outline) {
            viewer.outlineFrameSeconds = seconds;
        }
        lastFrameEnd = secondsNow();
    }
    overlayStop();
    viewer.model.reset(); // its texture goes with the context
    platformCloseDisplay();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    ViewOptions options;
    std::string error;
    if (!parseViewOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
        std::fprintf(stderr, "velmora-view: %s\n%s", error.c_str(), viewUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(viewUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("velmora-view %s\n", VELMORA_VERSION);
        return 0;
    }
    Viewer viewer;
    viewer.files = options.files;
    viewer.watching = options.watch;
    viewer.settings.up = options.up;
    viewer.maxBytes = options.maxBytes;
    // Read before any window opens: a start with no readable file ends without one.
    const double started = secondsNow();
    std::string messages;
    std::string failed; // their names, for the panel's title
    for (std::size_t i = 0; i < viewer.files.size() && viewer.model == nullptr; ++i) {
        if (!viewer.open(static_cast<int>(i), started)) {
            messages += viewer.error + "\n";
            failed += (failed.empty() ? "" : ", ") + viewer.panelFile;
        }
    }
    const double readSeconds = secondsNow() - started;
    if (viewer.model == nullptr) {
        std::fputs(messages.c_str(), stderr);
        return 1;
    }
    const bool headless = !options.output.empty() || options.benchOrbit > 0;
    if (headless && !viewer.notices.empty()) {
        std::fprintf(stderr, "%s\n", viewer.notices.c_str());
    }
    if (!messages.empty()) {
        messages.pop_back();
        viewer.error = messages; // the files before the first readable one
        viewer.panelFile = failed;
    }
    return headless ? runHeadless(viewer, options, readSeconds) : runWindow(viewer, options);
}
