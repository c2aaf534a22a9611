// velmora-capture: the real program loop, headless, on a virtual clock with scripted input.
//
// It runs what `velmora` runs (window procedure, idle-turn keys, drawScene, status bar and
// About panel) on SDL's offscreen driver, so tests, previews and benchmarks see the demo frame
// for frame without a screen. The clock runs at 1e9 ticks per second, reads 1e12 when the
// frame timer is constructed and advances by llround(step * 1e9) before every turn; all reads
// within a turn agree, so a run is the same on every machine.

// glDebugMessageCallback for --check-gl; the GL library exports it.
#define GL_GLEXT_PROTOTYPES 1
#include "app/app_window.h"
#include "app/about_panel.h"
#include "app/main_loop.h"
#include "app/shell_state.h"
#include "app/status_bar.h"
#include "model/glm.h"
#include "platform/counter.h"
#include "platform/window.h"
#include "scene/camera.h"
#include "scene/frame_timer.h"
#include "scene/scene.h"
#include "tools/capture/capture_script.h"

#include <CLI/CLI.hpp>
#include <GL/gl.h>
#include <GL/glext.h>
#include <nlohmann/json.hpp>
#include <stb_image_write.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <dlfcn.h>
#include <link.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::int64_t virtualFrequency = 1'000'000'000;
constexpr std::int64_t virtualStart = 1'000'000'000'000;

struct Options {
    std::int64_t frames = 1;
    double step = 1.0 / 60.0;
    std::string size = "800x400";
    std::string outDir;
    std::int64_t every = 0; // 0: the last frame only
    std::string traceFile;
    std::string scriptFile;
    bool bench = false;
#ifdef VELMORA_GL_CHECKS
    bool checkGl = true; // a checking build checks unless told otherwise
#else
    bool checkGl = false;
#endif
    std::int64_t rssEvery = 0;
};

struct Capture {
    Options options;
    int width = 800;
    int height = 400;
    std::int64_t ticksPerTurn = 0;
    std::int64_t clock = virtualStart;
    std::vector<ScriptEvent> events;
    std::size_t nextEvent = 0;
    std::ostream* trace = nullptr;
    std::vector<unsigned char> lastPixels;
    int lastWidth = 0;
    int lastHeight = 0;
    std::int64_t lastTurn = 0;
    std::string writeError;
    // --bench
    std::chrono::steady_clock::time_point turnStart;
    std::chrono::steady_clock::time_point runStart;
    std::vector<double> turnMilliseconds;
    double startToFirstFrame = -1;
    // --check-gl
    bool debugOutput = false;
    std::vector<std::string> debugErrors; // this turn's GL_DEBUG_TYPE_ERROR messages
    std::int64_t expectedGlErrors = 0;
    std::int64_t unexpectedGlErrors = 0;
};

std::int64_t virtualFrequencyRead(void*) {
    return virtualFrequency;
}
std::int64_t virtualCounterRead(void* context) {
    return static_cast<Capture*>(context)->clock;
}

// Seconds since this process was started by the kernel (10 ms resolution), so the figure
// includes loading the program and its libraries, not only the time since main().
double secondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::size_t close = content.rfind(')');
    if (close == std::string::npos) {
        return -1;
    }
    std::istringstream fields(content.substr(close + 2));
    std::string field;
    // Field 22 (starttime) counted from field 3, the first after the command name.
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    double ticks = std::strtod(field.c_str(), nullptr);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return now.tv_sec + now.tv_nsec * 1e-9 - ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Resident memory of this process in KiB: all of it, then its anonymous part (heap, stacks,
// the driver's buffers) and its file-backed part (program and library pages); -1 if unknown.
struct Resident {
    long total = -1;
    long anonymous = -1;
    long file = -1;
};

Resident residentKiB() {
    Resident r;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        auto field = [&](const char* name, long* value) {
            std::size_t length = std::strlen(name);
            if (line.compare(0, length, name) == 0) {
                *value = std::strtol(line.c_str() + length, nullptr, 10);
            }
        };
        field("VmRSS:", &r.total);
        field("RssAnon:", &r.anonymous);
        field("RssFile:", &r.file);
    }
    return r;
}

const char* glErrorName(GLenum error) {
    switch (error) {
    case GL_INVALID_ENUM:
        return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE:
        return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION:
        return "GL_INVALID_OPERATION";
    case GL_STACK_OVERFLOW:
        return "GL_STACK_OVERFLOW";
    case GL_STACK_UNDERFLOW:
        return "GL_STACK_UNDERFLOW";
    case GL_OUT_OF_MEMORY:
        return "GL_OUT_OF_MEMORY";
    default:
        return "unknown GL error";
    }
}

void GLAPIENTRY debugMessage(GLenum, GLenum type, GLuint, GLenum, GLsizei length,
                             const GLchar* message, const void* context) {
    if (type != GL_DEBUG_TYPE_ERROR) {
        return;
    }
    auto* c = static_cast<Capture*>(const_cast<void*>(context));
    c->debugErrors.emplace_back(message, length >= 0 ? static_cast<std::size_t>(length)
                                                     : std::strlen(message));
}

// With the GL's debug output (KHR_debug) every error of a turn is seen with the call that
// raised it; glGetError alone keeps only the first error until it is read, so an error later
// in a frame than the torus's would hide behind it.
void startGlChecks(Capture& c) {
    // Set-up (window, context, initScene) has no expected error: whatever is flagged now is
    // reported as set-up's.
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
        ++c.unexpectedGlErrors;
        std::fprintf(stderr, "velmora-capture: GL error during set-up: %s\n", glErrorName(e));
    }
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions == nullptr || std::strstr(extensions, "GL_KHR_debug") == nullptr) {
        return;
    }
    glDebugMessageCallback(debugMessage, &c);
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    c.debugOutput = glIsEnabled(GL_DEBUG_OUTPUT) == GL_TRUE;
}

// The torus's outline hands its lineWidth of 0 to glLineWidth on purpose, once per frame, and
// the GL rejects it with GL_INVALID_VALUE: that one error is expected, any other is reported.
void checkGlErrors(Capture& c, std::int64_t turn) {
    std::vector<GLenum> flagged;
    for (GLenum e = glGetError(); e != GL_NO_ERROR && flagged.size() < 16; e = glGetError()) {
        flagged.push_back(e);
    }
    auto unexpected = [&](const std::string& what) {
        ++c.unexpectedGlErrors;
        std::fprintf(stderr, "velmora-capture: GL error in turn %lld: %s\n",
                     static_cast<long long>(turn), what.c_str());
    };
    if (c.debugOutput) {
        int lineWidth = 0;
        for (const std::string& message : c.debugErrors) {
            bool torus = message.find("GL_INVALID_VALUE") != std::string::npos &&
                         message.find("glLineWidth") != std::string::npos;
            if (torus && lineWidth++ == 0) {
                ++c.expectedGlErrors;
            } else {
                unexpected(message);
            }
        }
        c.debugErrors.clear();
    } else {
        for (GLenum e : flagged) {
            if (e == GL_INVALID_VALUE) {
                ++c.expectedGlErrors;
            } else {
                unexpected(glErrorName(e));
            }
        }
    }
}

#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_LEAK_CHECKED 1
#endif
#endif

#ifdef VELMORA_LEAK_CHECKED
// The leak checker runs after main has returned, when SDL has closed the display and unloaded
// the GL driver. The driver keeps allocations for the context it made, as the demo's context
// lives to the end; with the driver gone they would show without a module to name them. So a
// sanitizer build pins the driver's modules once the context exists, and names them here.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:swrast_dri.so\nleak:libgallium\nleak:libEGL_mesa.so\nleak:libGLX_mesa.so\n";
}

void pinGlDriver() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) -> int {
            const char* name = info->dlpi_name;
            if (name != nullptr && (std::strstr(name, "_dri.so") != nullptr ||
                                    std::strstr(name, "libgallium") != nullptr ||
                                    std::strstr(name, "libEGL_mesa.so") != nullptr ||
                                    std::strstr(name, "libGLX_mesa.so") != nullptr)) {
                dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}
#else
void pinGlDriver() {}
#endif

LParam pointParam(int x, int y) {
    return static_cast<LParam>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(x & 0xFFFF));
}

void postEvent(const ScriptEvent& event) {
    switch (event.kind) {
    case ScriptEventKind::KeyDown:
        platformPostInput(WM_KEYDOWN, static_cast<WParam>(event.a), 1);
        break;
    case ScriptEventKind::KeyUp:
        platformPostInput(WM_KEYUP, static_cast<WParam>(event.a), static_cast<LParam>(0xC0000001u));
        break;
    case ScriptEventKind::MouseMove:
        platformPostInput(WM_MOUSEMOVE, 0, pointParam(event.a, event.b));
        break;
    case ScriptEventKind::Resize:
        platformSetClientSize(mainWindow, event.a, event.b);
        break;
    case ScriptEventKind::Close:
        platformPostMessage(mainWindow, WM_CLOSE, 0, 0);
        break;
    }
}

void beforeTurn(void* context, std::int64_t turn) {
    Capture& c = *static_cast<Capture*>(context);
    if (turn == 1) {
        pinGlDriver();
        if (c.options.checkGl) {
            startGlChecks(c);
        }
    }
    c.clock += c.ticksPerTurn;
    while (c.nextEvent < c.events.size() && c.events[c.nextEvent].frame <= turn) {
        postEvent(c.events[c.nextEvent++]);
    }
    if (c.options.bench) {
        c.turnStart = std::chrono::steady_clock::now();
    }
}

bool readFrame(Capture& c) {
    int width = 0;
    int height = 0;
    if (!platformGetClientSize(mainWindow, &width, &height) || width <= 0 || height <= 0) {
        return false;
    }
    c.lastPixels.resize(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, c.lastPixels.data());
    c.lastWidth = width;
    c.lastHeight = height;
    return true;
}

bool writePng(Capture& c, std::int64_t turn) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(turn));
    std::filesystem::path path = std::filesystem::path(c.options.outDir) / name;
    int stride = c.lastWidth * 3;
    // GL rows run bottom-up; PNG rows top-down.
    const unsigned char* top =
        c.lastPixels.data() + static_cast<std::size_t>(c.lastHeight - 1) * stride;
    if (!stbi_write_png(path.c_str(), c.lastWidth, c.lastHeight, 3, top, -stride)) {
        c.writeError = "velmora-capture: can't write \"" + path.string() + "\"";
        return false;
    }
    return true;
}

void framePresenting(void* context, std::int64_t turn) {
    Capture& c = *static_cast<Capture*>(context);
    if (c.options.checkGl) {
        checkGlErrors(c, turn);
    }
    if (c.options.outDir.empty() || !c.writeError.empty()) {
        return;
    }
    if (c.options.every > 0) {
        if (turn % c.options.every == 0 && readFrame(c)) {
            writePng(c, turn);
        }
    } else if (readFrame(c)) {
        c.lastTurn = turn; // written when the loop has ended, whichever turn that was
    }
}

// Floats go out through the shortest decimal that reads back to the same 32-bit value (at
// most 9 significant digits); doubles through the shortest that reads back to the same
// 64-bit value (at most 17).
double floatForJson(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    for (int digits = 1; digits < 9; ++digits) {
        char shorter[32];
        std::snprintf(shorter, sizeof shorter, "%.*g", digits, static_cast<double>(value));
        if (std::strtof(shorter, nullptr) == value) {
            return std::strtod(shorter, nullptr);
        }
    }
    return std::strtod(text, nullptr);
}

nlohmann::json finite(double value) {
    if (std::isfinite(value)) {
        return value;
    }
    return std::isnan(value) ? "nan" : (value > 0 ? "inf" : "-inf");
}

nlohmann::json vec(const Vec3& v) {
    auto f = [](float x) { return std::isfinite(x) ? nlohmann::json(floatForJson(x)) : finite(x); };
    return {f(v.x), f(v.y), f(v.z)};
}

nlohmann::json point(const PathPoint& p) {
    return {finite(p.x), finite(p.y), finite(p.z)};
}

void writeTrace(Capture& c, std::int64_t turn) {
    nlohmann::json line = {
        {"frame", turn},
        {"pathTime", finite(pathTime)},
        {"averageFrameTime", finite(averageFrameTime)},
        {"trailPoint", point(trailPoint)},
        {"shipPoint", point(shipPoint)},
        {"leadPoint", point(leadPoint)},
        {"eye", vec(camera.eye)},
        {"target", vec(camera.target)},
        {"direction", vec(camera.direction)},
        {"freeCamera", freeCamera},
        {"showPath", showPath},
        {"speedDivisor", floatForJson(speedDivisor)},
        {"aboutVisible", aboutPanelVisible()},
        {"status", {statusBarText(0), statusBarText(1), statusBarText(2)}},
    };
    *c.trace << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

bool afterTurn(void* context, std::int64_t turn) {
    Capture& c = *static_cast<Capture*>(context);
    if (c.options.bench) {
        auto now = std::chrono::steady_clock::now();
        if (turn == 1) {
            c.startToFirstFrame = secondsSinceProcessStart();
            c.runStart = now;
        }
        c.turnMilliseconds.push_back(
            std::chrono::duration<double, std::milli>(now - c.turnStart).count());
    }
    if (c.trace != nullptr) {
        writeTrace(c, turn);
    }
    if (c.options.rssEvery > 0 && (turn == 1 || turn % c.options.rssEvery == 0)) {
        Resident r = residentKiB();
        std::fprintf(stderr, "rss: turn %lld %ld KiB (anonymous %ld KiB, file %ld KiB)\n",
                     static_cast<long long>(turn), r.total, r.anonymous, r.file);
    }
    // An unexpected GL error ends the run: the frames after it prove nothing more.
    return turn < c.options.frames && c.writeError.empty() && c.unexpectedGlErrors == 0;
}

void printBench(const Capture& c) {
    if (c.turnMilliseconds.empty()) {
        return;
    }
    std::vector<double> sorted = c.turnMilliseconds;
    std::sort(sorted.begin(), sorted.end());
    double median = sorted[sorted.size() / 2];
    if (sorted.size() % 2 == 0) {
        median = (sorted[sorted.size() / 2 - 1] + sorted[sorted.size() / 2]) * 0.5;
    }
    double wall = 0;
    for (double ms : c.turnMilliseconds) {
        wall += ms;
    }
    std::fprintf(stderr,
                 "bench: %zu frames at %dx%d: %.1f frames per second of wall time, median %.2f ms "
                 "per frame, first frame presented %.3f s after process start\n",
                 c.turnMilliseconds.size(), c.width, c.height,
                 1000.0 * static_cast<double>(c.turnMilliseconds.size()) / wall, median,
                 c.startToFirstFrame);
}

bool parseSize(const std::string& text, int* width, int* height) {
    int w = 0;
    int h = 0;
    char x = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &rest) != 3 || x != 'x' || w < 1 ||
        h < 1 || w > 16384 || h > 16384) {
        return false;
    }
    *width = w;
    *height = h;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    auto capture = std::make_unique<Capture>();
    Capture& c = *capture;
    Options& o = c.options;

    CLI::App app{"velmora-capture: runs the demo headless on a virtual clock with scripted input"};
    app.add_option("--frames", o.frames, "turns to run")->check(CLI::Range(1LL, 100'000'000LL));
    app.add_option("--step", o.step, "virtual seconds per turn")->check(CLI::Range(0.0, 3600.0));
    app.add_option("--size", o.size, "client size WxH");
    app.add_option("--out", o.outDir, "write frames as DIR/frame-NNNNNN.png");
    app.add_option("--every", o.every, "write every K-th frame (default: the last one only)")
        ->check(CLI::Range(1LL, 100'000'000LL));
    app.add_option("--trace", o.traceFile, "one JSON object per turn to FILE (- for stdout)");
    app.add_option("--script", o.scriptFile,
                   "scripted input: FRAME keydown|keyup|mousemove|resize|close ...");
    app.add_flag("--bench", o.bench,
                 "print frames per second, median frame time and start-up time");
    app.add_flag("--check-gl,!--no-check-gl", o.checkGl,
                 "read the GL errors after every frame; any but the torus's rejected line "
                 "width ends the run with status 3");
    app.add_option("--rss-every", o.rssEvery,
                   "print the resident memory to stderr after turn 1 and every K-th turn")
        ->check(CLI::Range(1LL, 100'000'000LL));
    CLI11_PARSE(app, argc, argv);

    if (!parseSize(o.size, &c.width, &c.height)) {
        std::fprintf(stderr,
                     "velmora-capture: --size must be WxH with both from 1 to 16384, not \"%s\"\n",
                     o.size.c_str());
        return 2;
    }
    if (!o.scriptFile.empty()) {
        std::ifstream in(o.scriptFile, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "velmora-capture: can't open script \"%s\"\n",
                         o.scriptFile.c_str());
            return 2;
        }
        std::stringstream text;
        text << in.rdbuf();
        ScriptParseResult parsed = parseCaptureScript(text.str());
        if (!parsed.error.empty()) {
            std::fprintf(stderr, "velmora-capture: %s:%s\n", o.scriptFile.c_str(),
                         parsed.error.c_str());
            return 2;
        }
        c.events = std::move(parsed.events);
    }
    if (!o.outDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(o.outDir, ec);
        if (ec || !std::filesystem::is_directory(o.outDir)) {
            std::fprintf(stderr, "velmora-capture: can't create the output folder \"%s\"\n",
                         o.outDir.c_str());
            return 2;
        }
    }
    std::ofstream traceFile;
    if (o.traceFile == "-") {
        c.trace = &std::cout;
    } else if (!o.traceFile.empty()) {
        traceFile.open(o.traceFile, std::ios::binary | std::ios::trunc);
        if (!traceFile) {
            std::fprintf(stderr, "velmora-capture: can't write the trace \"%s\"\n",
                         o.traceFile.c_str());
            return 2;
        }
        c.trace = &traceFile;
    }

    c.ticksPerTurn = std::llround(o.step * 1e9);
    CounterSource source{virtualFrequencyRead, virtualCounterRead, &c};
    platformSetCounterSource(&source);
    frameTimer.reset();

    // Headless by design: the offscreen driver gives a real GL context without a display.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::string reason;
    if (!platformOpenDisplay(&reason)) {
        std::fprintf(stderr, "velmora-capture: can't start the offscreen display (%s)\n",
                     reason.c_str());
        return 2;
    }

    LoopHooks hooks{&c, beforeTurn, framePresenting, afterTurn};
    int exitCode = 0;
    try {
        exitCode = appMain(c.width, c.height, &hooks);
    } catch (const GlmFatalError& error) {
        std::fputs(error.what(), error.stream == GlmStream::Out ? stdout : stderr);
        std::fflush(nullptr);
        std::_Exit(1);
    }
    if (!o.outDir.empty() && o.every == 0 && c.lastTurn > 0 && c.writeError.empty()) {
        writePng(c, c.lastTurn);
    }
    if (c.trace != nullptr) {
        c.trace->flush();
    }
    platformCloseDisplay();
    if (o.bench) {
        printBench(c);
    }
    if (!c.writeError.empty()) {
        std::fprintf(stderr, "%s\n", c.writeError.c_str());
        return 2;
    }
    if (o.checkGl) {
        std::fprintf(stderr,
                     "check-gl: %lld unexpected GL errors, %lld expected (the torus's line width "
                     "0), %s\n",
                     static_cast<long long>(c.unexpectedGlErrors),
                     static_cast<long long>(c.expectedGlErrors),
                     c.debugOutput ? "every error seen through the GL's debug output"
                                   : "read with glGetError once per frame");
        if (c.unexpectedGlErrors > 0) {
            return 3;
        }
    }
    return exitCode;
}
