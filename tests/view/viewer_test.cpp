// The viewer's behaviour without a window: the key panel against the keys it acts on, a file
// that cannot be read, --watch on a fake clock and the outline while the view moves.
#include "view/viewer.h"
#include "view/view_loop.h"
#include "view/overlay.h"
#include "tests/support/gl_context.h"
#include <GL/gl.h>
#include "view/looks.h"

#include "platform/platform.h"
#include "tests/support/capture_run.h"
#include "tests/view/meshes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

void write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string readerMessage(const fs::path& path) {
    try {
        glmDeleteModel(glmReadOBJ(path.c_str()));
    } catch (const GlmFatalError& error) {
        std::string text = error.what();
        return text.substr(0, text.find_last_not_of('\n') + 1);
    }
    return "(read without complaint)";
}

TEST(ViewKeys, ThePanelListsExactlyTheKeysTheViewerActsOn) {
    std::set<int> listed;
    for (const KeyHelp& row : keyHelp) {
        for (int code : row.codes) {
            if (code != 0) {
                listed.insert(code);
            }
        }
    }
    std::set<int> acting, repeating;
    for (int code = 1; code < 256; ++code) {
        Viewer viewer;
        if (viewer.key(code, false, 0.0) != KeyResult::Ignored) {
            acting.insert(code);
        }
        if (viewer.key(code, true, 0.0) != KeyResult::Ignored) {
            repeating.insert(code);
        }
    }
    EXPECT_EQ(listed, acting);
    // Held down, only the steps repeat: the files and the outline width.
    EXPECT_EQ(repeating, (std::set<int>{VK_LEFT, VK_RIGHT, VK_OEM_4, VK_OEM_4 + 2}));
}

// T, B and U step forward through the ramps, the backgrounds and the up axes, and come round.
TEST(ViewKeys, TBAndUStepThroughTheirListsAndComeRound) {
    Viewer viewer;
    for (int i = 1; i <= upAxisCount; ++i) {
        viewer.key('U', false, 0.0);
        EXPECT_EQ(viewer.note, std::string("Up: ") + upAxes[i % upAxisCount].name);
    }
    for (int i = 1; i <= lookCount; ++i) {
        viewer.key('T', false, 0.0);
        EXPECT_EQ(viewer.note, std::string("Ramp: ") + looks[i % lookCount].name);
    }
    for (int i = 1; i <= backgroundCount; ++i) {
        viewer.key('B', false, 0.0);
        EXPECT_EQ(viewer.note, std::string("Background: ") + backgrounds[i % backgroundCount].name);
    }
}

// The window's overlay, drawn from its texts alone, is the same to the bit on every machine: the
// status bar's five parts and two-line grip, the key panel and the message panel. A hash of the
// pixels sees any of them moved by one; after an intended change the failure prints the new one.
TEST(ViewOverlay, TheStatusBarAndPanelsAreDrawnExactly) {
    ASSERT_TRUE(ensureGlContext());
    Viewer viewer;
    viewer.settings.help = true;
    viewer.error = "model.obj: no triangles";
    viewer.panelFile = "model.obj";
    overlayStart();
    Pixels pixels;
    // A new panel is sized on one frame, shown on the next.
    for (int frame = 0; frame < 2; ++frame) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        overlayDraw(viewer, testSurfaceSize, testSurfaceSize,
                    {"model.obj", "12 triangles", "closed, clockwise", "60.0 fps", "Ramp: ice"},
                    1.0f / 60.0f);
        pixels = readPixels(testSurfaceSize, testSurfaceSize);
    }
    overlayStop();
    EXPECT_EQ(fnv1a(pixels.data.data(), pixels.data.size()), 11991970034159525235u);
}

// Each up axis turns the model rigidly (unit rows at right angles, handedness kept) and takes the
// axis it names to the screen's up.
TEST(ViewUp, EachAxisIsARotationTakingItsAxisUp) {
    for (const UpAxis& axis : upAxes) {
        const auto& r = axis.rows;
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                EXPECT_EQ(r[i][0] * r[j][0] + r[i][1] * r[j][1] + r[i][2] * r[j][2], i == j)
                    << axis.name << " rows " << i << ", " << j;
            }
        }
        EXPECT_EQ(r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) -
                      r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
                      r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]),
                  1)
            << axis.name;
        const int named = axis.name[1] - 'x';
        const int sign = axis.name[0] == '+' ? 1 : -1;
        EXPECT_EQ((std::vector<int>{r[0][named] * sign, r[1][named] * sign, r[2][named] * sign}),
                  (std::vector<int>{0, 1, 0}))
            << axis.name;
    }
}

TEST(ViewFiles, AFileThatCannotBeReadKeepsTheModelAndShowsTheReadersMessage) {
    const fs::path dir = scratchDir("bad-file");
    write(dir / "good.obj", meshes::cube(false));
    write(dir / "bad.obj", meshes::cubeVertices() + "f 1 2 3\nf 1 2 99\n");
    Viewer viewer;
    viewer.files = {(dir / "good.obj").string(), (dir / "bad.obj").string(),
                    (dir / "missing.obj").string()};
    ASSERT_TRUE(viewer.open(0, 0.0));
    const ShownModel* shown = viewer.model.get();
    struct Step {
        const char* file;
        int index;
    };
    for (const Step& step : {Step{"bad.obj", 1}, Step{"missing.obj", 2}}) {
        EXPECT_EQ(viewer.key(VK_RIGHT, false, 0.0), KeyResult::Handled);
        EXPECT_EQ(viewer.model.get(), shown) << step.file;
        EXPECT_EQ(viewer.fileIndex, step.index) << step.file;
        EXPECT_EQ(viewer.error, readerMessage(dir / step.file)) << step.file;
        EXPECT_NE(viewer.error.find(step.file), std::string::npos) << viewer.error;
        EXPECT_EQ(viewer.panelFile, step.file) << "the panel names the file that failed";
    }
    // On round to the first file, which reads again and ends the message.
    viewer.key(VK_RIGHT, false, 0.0);
    EXPECT_EQ(viewer.fileIndex, 0);
    EXPECT_NE(viewer.model.get(), shown);
    EXPECT_EQ(viewer.error, "");
}

// A new look rebuilds the ramp at the next frame; a model replaced before that frame still
// takes its texture along.
TEST(ViewFiles, AModelReplacedBeforeItsNextFrameReleasesItsRamp) {
    ASSERT_TRUE(ensureGlContext());
    const fs::path dir = scratchDir("ramp-release");
    write(dir / "cube.obj", meshes::cube(false));
    Viewer viewer;
    viewer.files = {(dir / "cube.obj").string(), (dir / "cube.obj").string()};
    ASSERT_TRUE(viewer.open(0, 0.0));
    viewer.draw(testSurfaceSize, testSurfaceSize, 0, 0.0);
    const GLuint ramp = viewer.model->toon.rampTexture;
    ASSERT_TRUE(glIsTexture(ramp));
    viewer.key('T', false, 0.0);
    viewer.key(VK_RIGHT, false, 0.0);
    EXPECT_FALSE(glIsTexture(ramp));
}

// The narrower side of the view decides how far away the model must be to fit.
TEST(ViewFraming, TheNarrowerSideOfTheViewFramesTheModel) {
    EXPECT_FLOAT_EQ(framingDistance(1.0f, 200, 100), framingDistance(1.0f, 100, 100));
    EXPECT_GT(framingDistance(1.0f, 100, 200), framingDistance(1.0f, 100, 100));
}

TEST(ViewWatch, ReadsOnceASecondWhenTheStampChanged) {
    const FileStamp first{true, 1000, 50};
    const FileStamp rewritten{true, 2000, 50};
    const FileStamp grown{true, 1000, 80};
    struct Look {
        double now;
        FileStamp stamp;
        bool due;
        bool read;
    };
    const Look looks[] = {
        {0.5, rewritten, false, false},  // within the second after the read
        {1.0, first, true, false},       // due, nothing changed
        {1.5, rewritten, false, false},  // looked half a second ago
        {2.0, rewritten, true, true},    // a new time stamp
        {3.0, rewritten, true, true},    // still unlike the stamp last read: the caller reads
        {4.0, FileStamp{}, true, false}, // gone for a moment: wait
        {5.0, grown, true, true},        // the same second, a new size
    };
    ReloadWatch watch;
    watch.read(0.0, first);
    for (const Look& look : looks) {
        EXPECT_EQ(watch.due(look.now), look.due) << look.now;
        if (watch.due(look.now)) {
            EXPECT_EQ(watch.look(look.now, look.stamp), look.read) << look.now;
        }
    }
}

TEST(ViewWatch, AHalfWrittenFileKeepsTheLastGoodModelUntilTheWriteEnds) {
    const fs::path dir = scratchDir("watch");
    const fs::path file = dir / "model.obj";
    write(file, meshes::cube(false));
    Viewer viewer;
    viewer.watching = true;
    viewer.files = {file.string()};
    ASSERT_TRUE(viewer.open(0, 0.0));
    const ShownModel* good = viewer.model.get();
    viewer.camera.yaw = 77.0f;

    // An editor truncates before it writes; then the write is cut inside the last face. Each
    // failed read keeps the model and asks for a redraw, so the panel shows its message.
    const std::string whole = meshes::cube(true, -1, meshes::bottom);
    write(file, "");
    EXPECT_FALSE(viewer.checkWatch(0.5)) << "looked before a second had passed";
    EXPECT_EQ(viewer.error, "");
    EXPECT_TRUE(viewer.checkWatch(1.1));
    EXPECT_EQ(viewer.model.get(), good);
    EXPECT_EQ(viewer.error, file.string() + ": no triangles");
    write(file, whole.substr(0, whole.size() - 4));
    EXPECT_TRUE(viewer.checkWatch(2.2));
    EXPECT_EQ(viewer.model.get(), good);
    EXPECT_EQ(viewer.error, readerMessage(file));

    write(file, whole);
    EXPECT_TRUE(viewer.checkWatch(3.3));
    ASSERT_NE(viewer.model.get(), good);
    EXPECT_EQ(viewer.model->toon.model->triangleCount, 10u);
    EXPECT_EQ(viewer.model->orientation.kind, Orientation::Kind::Open);
    EXPECT_EQ(viewer.error, "");
    EXPECT_EQ(viewer.camera.yaw, 77.0f) << "a reload keeps the view";
}

TEST(ViewMotion, ASlowOutlineWaitsForTheViewToRest) {
    const fs::path dir = scratchDir("motion");
    write(dir / "cube.obj", meshes::cube(false));
    Viewer viewer;
    viewer.files = {(dir / "cube.obj").string()};
    ASSERT_TRUE(viewer.open(0, 0.0));
    viewer.camera.distance = 5.0f;
    struct Case {
        double outlineSeconds;
        double now; // the drag moved at 10.0
        bool outline;
        const char* note;
    };
    const Case cases[] = {
        {0.05, 10.0, true, ""},
        {0.5, 10.0, false, "outline when the view rests"},
        {0.5, 10.0 + restSeconds * 0.9, false, "outline when the view rests"},
        {0.5, 10.0 + restSeconds, true, ""},
    };
    for (const Case& c : cases) {
        viewer.outlineFrameSeconds = c.outlineSeconds;
        viewer.buttonDown(0, 100, 100);
        viewer.mouseMove(110, 100, 400, 10.0);
        viewer.buttonUp(0);
        EXPECT_EQ(viewer.outlineNow(c.now), c.outline) << c.outlineSeconds << " at " << c.now;
        EXPECT_EQ(viewer.statusTexts(10.0, c.now)[4], c.note)
            << c.outlineSeconds << " at " << c.now;
    }
    // Left drags turn (right: yaw up; down: pitch up, held within 89 degrees), middle and right
    // pan with the pointer, a fourth button does nothing, a wheel notch brings the eye 15
    // percent nearer.
    const std::tuple<int, int, int, const char*> drags[] = {
        {0, 10, 0, "-26 20 0 0 5"},          {0, 0, 10, "-30 24 0 0 5"},
        {0, 0, 500, "-30 89 0 0 5"},         {1, 10, -10, "-30 20 0.103553 0.103553 5"},
        {2, -10, 0, "-30 20 -0.103553 0 5"}, {-1, 0, 0, "-30 20 0 0 4.25"},
        {3, 10, 10, "-30 20 0 0 5"}};
    for (auto [button, dx, dy, expected] : drags) {
        viewer.camera = OrbitCamera{};
        viewer.camera.distance = 5.0f;
        viewer.buttonDown(button, 100, 100);
        viewer.mouseMove(100 + dx, 100 + dy, 400, 40.0);
        viewer.buttonUp(button);
        viewer.wheel(button < 0 ? 1 : 0, 40.0);
        const OrbitCamera& c = viewer.camera;
        char text[96];
        std::snprintf(text, sizeof text, "%g %g %g %g %g", c.yaw, c.pitch, c.panX, c.panY,
                      c.distance);
        EXPECT_STREQ(text, expected) << "button " << button << " moved " << dx << ", " << dy;
    }
    const std::array<std::string, 5> status = viewer.statusTexts(12.34, 20.0);
    EXPECT_EQ(status[0], "cube.obj");
    EXPECT_EQ(status[1], "12 triangles");
    EXPECT_EQ(status[2], "counter-clockwise");
    EXPECT_EQ(status[3], "12.3 fps");
    viewer.openPath(VELMORA_SOURCE_DIR "/tests/view/fixtures/single_triangle.obj", 30.0);
    EXPECT_EQ(viewer.statusTexts(0.0, 30.0)[1], "1 triangle");
}

// The window's loop, event by event: each run starts from a 400 x 300 window that has drawn its
// frames, with the eye 5 away from a model.
TEST(ViewLoop, EventsChangeTheLoopTheViewerAndTheFramesDue) {
    using T = EventType;
    const Event o{T::KeyDown, 'O'}, oUp{T::KeyUp, 'O'}, left{T::ButtonDown, 100, 100, 0},
        right{T::ButtonDown, 100, 100, 2}, move{T::MouseMove, 110, 90}, lost{T::FocusLost},
        wheel{T::MouseWheel, 1}, bracket{T::KeyDown, VK_OEM_4 + 2};
    // Running, no screenshot, two frames due, the size, outline 4 wide, the camera untouched.
    const char* const unchanged = "1 0 2 400x300 1 4 -30 20 0 0 5";
    struct Case {
        const char* name;
        std::vector<Event> events;
        bool overlayHasMouse, help;
        const char* expected; // running, screenshot, frames due, size, outline, width, camera
    };
    const Case cases[] = {
        {"close", {{T::Close}}, false, false, "0 0 2 400x300 1 4 -30 20 0 0 5"},
        {"resize", {{T::Resized, 640, 480}}, false, false, "1 0 2 640x480 1 4 -30 20 0 0 5"},
        {"O held: a repeat", {o, o, oUp}, false, false, "1 0 2 400x300 0 4 -30 20 0 0 5"},
        {"O twice", {o, oUp, o}, false, false, unchanged},
        {"focus lost lets keys go", {o, lost, o}, false, false, unchanged},
        {"] repeats", {bracket, bracket}, false, false, "1 0 2 400x300 1 6 -30 20 0 0 5"},
        {"Escape", {{T::KeyDown, VK_ESCAPE}}, false, false, "0 0 2 400x300 1 4 -30 20 0 0 5"},
        {"F12", {{T::KeyDown, VK_F12}}, false, false, "1 1 2 400x300 1 4 -30 20 0 0 5"},
        {"a bare move", {move}, false, false, "1 0 0 400x300 1 4 -30 20 0 0 5"},
        {"a move under the key panel", {move}, false, true, unchanged},
        {"left drag", {left, move}, false, false, "1 0 2 400x300 1 4 -26 16 0 0 5"},
        {"focus lost ends a drag", {left, lost, move}, false, false, unchanged},
        {"focus lost ends a pan", {right, lost, move}, false, false, unchanged},
        {"pan under the status bar",
         {{T::Resized, 400, 420}, {T::ButtonDown, 100, 100, 1}, move},
         false,
         false,
         "1 0 2 400x420 1 4 -30 20 0.103553 0.103553 5"},
        {"wheel", {wheel}, false, false, "1 0 2 400x300 1 4 -30 20 0 0 4.25"},
        {"a panel under the pointer", {left, move, wheel}, true, false, unchanged},
    };
    for (const Case& c : cases) {
        Viewer viewer;
        viewer.model = std::make_unique<ShownModel>(); // of radius 1, nothing to draw
        viewer.model->radius = 1.0f;
        viewer.camera.distance = 5.0f;
        viewer.settings.help = c.help;
        ViewLoop loop;
        loop.width = 400;
        loop.height = 300;
        loop.framesDue = 0;
        for (const Event& e : c.events) {
            viewLoopEvent(loop, viewer, e, c.overlayHasMouse, 1.0);
        }
        const OrbitCamera& v = viewer.camera;
        char text[128];
        std::snprintf(text, sizeof text, "%d %d %d %dx%d %d %g %g %g %g %g %g", loop.running,
                      loop.screenshotDue, loop.framesDue, loop.width, loop.height,
                      viewer.settings.outline, viewer.settings.lineWidth, v.yaw, v.pitch, v.panX,
                      v.panY, v.distance);
        EXPECT_STREQ(text, c.expected) << c.name;
    }
}

// Frames come two after a change (a new panel is sized, then shown), while the view moves, once
// more for the outline when it comes to rest, and when a note runs out; then none.
TEST(ViewLoop, AFrameIsDueOnlyWhenSomethingChanged) {
    Viewer viewer;
    ViewLoop loop;
    std::string due;
    auto turn = [&](double now, const ShownModel* shown = nullptr) {
        due += viewLoopFrameDue(loop, viewer, shown, now) ? '1' : '0';
    };
    turn(0.0), turn(0.0), turn(0.0), due += ' ';
    viewer.showNote("noted", 0.0, 3.0);
    turn(2.9), turn(3.0), turn(3.0), due += ' ';
    turn(4.0, reinterpret_cast<const ShownModel*>(&loop)), turn(4.0), turn(4.0), due += ' ';
    viewer.camera.distance = 5.0f;
    viewer.wheel(1, 10.0); // no model: nothing to come nearer to, and no motion
    viewer.buttonDown(0, 0, 0);
    viewer.mouseMove(9, 0, 400, 10.0);
    turn(10.0 + restSeconds * 0.9);
    loop.outlinedLast = false; // that frame left the outline out
    turn(10.0 + restSeconds), turn(10.0 + restSeconds);
    loop.outlinedLast = true;
    turn(10.0 + restSeconds), due += ' ';
    loop.running = false;
    loop.framesDue = 2;
    turn(20.0);
    EXPECT_EQ(due, "110 010 110 1110 0");
    EXPECT_EQ(viewer.camera.distance, 5.0f);
    EXPECT_EQ(viewer.note, "");
}

} // namespace
