// The real window and GL context on SDL's offscreen driver: a few turns, then a clean close.
#include "app/main_loop.h"
#include "app/shell.h"
#include "platform/platform.h"
#include "scene/scene.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <vector>

namespace {

// Closing the display unloads the GL driver, which keeps a few allocations of its own until the
// process ends; keeping its libraries mapped lets the leak checker name them.
const bool driverPinned = [] {
    for (const char* library : {"libEGL_mesa.so.0", "libglapi.so.0", "libGLX_mesa.so.0",
                                "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"}) {
        dlopen(library, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
    }
    return true;
}();

struct Pixel {
    int r, g, b;
};

struct SmokeRun {
    std::vector<std::string> boxes;
    std::vector<GLenum> errors;
    std::vector<Pixel> statusBar, aboutTitle, aboutFace;
    std::vector<std::string> status[3];
    std::int64_t turns = 0;
    const std::int64_t closeAt = 8;
};

// Client coordinates, y down.
Pixel readPixel(int x, int y) {
    unsigned char rgba[4] = {};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, 400 - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return Pixel{rgba[0], rgba[1], rgba[2]};
}

void before(void* context, std::int64_t turn) {
    auto* run = static_cast<SmokeRun*>(context);
    if (turn == 3) {
        shellPostInput(Event{EventType::KeyDown, VK_F1});
    }
    if (turn == run->closeAt) {
        shellPost(Target::Main, Event{EventType::Close});
    }
}

void presenting(void* context, std::int64_t) {
    auto* run = static_cast<SmokeRun*>(context);
    run->errors.push_back(glGetError());
    run->statusBar.push_back(readPixel(170, 381));
    run->aboutTitle.push_back(readPixel(200, 5));
    run->aboutFace.push_back(readPixel(5, 100));
    for (int part = 0; part < 3; ++part) {
        run->status[part].push_back(shell.status[part]);
    }
}

bool after(void* context, std::int64_t turn) {
    auto* run = static_cast<SmokeRun*>(context);
    run->turns = turn;
    return turn < 50;
}

void sink(void* context, const char* caption, const char* text, MessageBoxIcon) {
    static_cast<SmokeRun*>(context)->boxes.push_back(std::string(caption) + ": " + text);
}

::testing::AssertionResult near(Pixel p, int r, int g, int b) {
    // A 5-6-5 drawable rounds each channel to its few bits.
    auto close = [](int a, int e) { return a >= e - 8 && a <= e + 8; };
    if (close(p.r, r) && close(p.g, g) && close(p.b, b)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "pixel (" << p.r << ", " << p.g << ", " << p.b << ") expected near (" << r << ", "
           << g << ", " << b << ")";
}

class Smoke : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        resetShell();
        resetScene();
        platformSetMessageBoxSink(sink, &run);
        std::string reason;
        ASSERT_TRUE(platformOpenDisplay(&reason)) << reason;
    }
    void TearDown() override {
        platformCloseDisplay();
        platformSetMessageBoxSink(nullptr, nullptr);
    }
    SmokeRun run;
};

} // namespace

TEST_F(Smoke, TheRealWindowRunsTheSceneDrawsItsPanelsAndClosesCleanly) {
    LoopHooks hooks{&run, before, presenting, after};
    EXPECT_EQ(appMain(800, 400, &hooks), 0);
    EXPECT_TRUE(run.boxes.empty()) << run.boxes.front();
    // The close at turn 8 gives one more frame.
    ASSERT_EQ(run.turns, 9);
    for (GLenum e : run.errors) {
        // The torus's rejected line width is the scene's one error, on purpose.
        EXPECT_TRUE(e == GL_NO_ERROR || e == GL_INVALID_VALUE) << e;
    }
    EXPECT_TRUE(near(run.statusBar[0], 212, 208, 200));
    EXPECT_EQ(run.status[0].back(), "Speed: 0.200000");
    EXPECT_EQ(run.status[1].back(), "800 x 400");
    EXPECT_EQ(run.status[2].back().rfind("FPS: ", 0), 0u) << run.status[2].back();
    // F1 at turn 3 is a key message; turn 4 is idle and shows the panel.
    EXPECT_FALSE(near(run.aboutTitle[2], 10, 36, 106));
    EXPECT_TRUE(near(run.aboutTitle[3], 10, 36, 106));
    EXPECT_TRUE(near(run.aboutFace[3], 212, 208, 200));
}

TEST_F(Smoke, ResizingTheOffscreenWindowMovesTheStatusBarToTheNewBottom) {
    struct Probe {
        std::vector<Pixel> corner;
        std::vector<std::string> size;
    } probe;
    LoopHooks hooks{&probe,
                    [](void*, std::int64_t turn) {
                        if (turn == 2) {
                            shellSetClientSize(1000, 500);
                        }
                    },
                    [](void* context, std::int64_t) {
                        auto* p = static_cast<Probe*>(context);
                        unsigned char rgba[4] = {};
                        glReadBuffer(GL_BACK);
                        glReadPixels(900, 500 - 1 - 490, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
                        p->corner.push_back(Pixel{rgba[0], rgba[1], rgba[2]});
                        p->size.push_back(shell.status[1]);
                    },
                    [](void*, std::int64_t turn) { return turn < 3; }};
    EXPECT_EQ(appMain(800, 400, &hooks), 0);
    ASSERT_EQ(probe.size.size(), 3u);
    EXPECT_EQ(probe.size[0], "800 x 400");
    EXPECT_EQ(probe.size[1], "1000 x 500");
    EXPECT_TRUE(near(probe.corner[1], 212, 208, 200));
    EXPECT_TRUE(near(probe.corner[2], 212, 208, 200));
}
