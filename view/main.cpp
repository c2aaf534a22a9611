// velmora-view: any OBJ model, tone-shaded as the demo draws its own, in a window or headless.
#include "platform/platform.h"
#include "view/options.h"
#include "ui/gl_window.h"
#include "ui/picture.h"
#include "view/overlay.h"
#include "view/view_loop.h"
#include "view/viewer.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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

int runWindow(Viewer& viewer, const ViewOptions& options) {
    if (!openWindow("Velmora View", options.width, options.height, true)) {
        return 1;
    }
    platformReportExtraEvents(true);
    overlayStart();
    ViewLoop loop;
    loop.width = options.width;
    loop.height = options.height;
    double averageFrame = 0.0;
    double lastFrameEnd = secondsNow();
    while (loop.running) {
        const double now = secondsNow();
        const ShownModel* shown = viewer.model.get();
        for (Event e{EventType::Quit}; platformPollEvent(&e);) {
            overlayInput(e);
            if (viewLoopEvent(loop, viewer, e, overlayWantsMouse(), now) == KeyResult::Fullscreen) {
                platformToggleFullscreen();
            }
        }
        if (!viewLoopFrameDue(loop, viewer, shown, now)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        const auto start = std::chrono::steady_clock::now();
        const bool outline = viewer.outlineNow(now);
        const int viewHeight = std::max(loop.height - viewStatusBarHeight, 1);
        viewer.draw(loop.width, viewHeight, loop.height - viewHeight, now);
        const double framesPerSecond = averageFrame > 0.0 ? 1.0 / averageFrame : 0.0;
        overlayDraw(viewer, loop.width, loop.height, viewer.statusTexts(framesPerSecond, now),
                    static_cast<float>(now - lastFrameEnd));
        if (loop.screenshotDue) {
            // The whole window, status bar included, as the demo's F12 takes it.
            loop.screenshotDue = false;
            viewer.showNote(saveScreenshot(readBackBuffer(loop.width, loop.height, false)), now,
                            4.0);
            loop.framesDue = 1;
        }
        platformSwapBuffers();
        glFinish();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        averageFrame = averageFrame > 0.0 ? averageFrame * 0.8 + seconds * 0.2 : seconds;
        loop.outlinedLast = outline;
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
