// velmora-capture's diagnostics: GL error checks through the debug output, and the memory and
// start-up figures.

// glDebugMessageCallback for --check-gl; the GL library exports it.
#define GL_GLEXT_PROTOTYPES 1
#include "tools/capture/capture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <numeric>

void printResidentMemory(std::int64_t turn) {
    long total = -1;
    long anonymous = -1;
    long file = -1;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        for (auto [name, value] : {std::pair{"VmRSS:", &total}, std::pair{"RssAnon:", &anonymous},
                                   std::pair{"RssFile:", &file}}) {
            if (line.rfind(name, 0) == 0) {
                *value = std::strtol(line.c_str() + std::strlen(name), nullptr, 10);
            }
        }
    }
    std::fprintf(stderr, "rss: turn %lld %ld KiB (anonymous %ld KiB, file %ld KiB)\n",
                 static_cast<long long>(turn), total, anonymous, file);
}

namespace {

const char* glErrorName(GLenum error) {
    // GL_INVALID_ENUM (0x500) to GL_OUT_OF_MEMORY (0x505) are consecutive.
    static const char* const names[] = {"GL_INVALID_ENUM",      "GL_INVALID_VALUE",
                                        "GL_INVALID_OPERATION", "GL_STACK_OVERFLOW",
                                        "GL_STACK_UNDERFLOW",   "GL_OUT_OF_MEMORY"};
    return error >= GL_INVALID_ENUM && error <= GL_OUT_OF_MEMORY ? names[error - GL_INVALID_ENUM]
                                                                 : "unknown GL error";
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

} // namespace

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

void printBench(const Capture& c) {
    if (c.turnMilliseconds.empty()) {
        return;
    }
    std::vector<double> sorted = c.turnMilliseconds;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t half = sorted.size() / 2;
    const double median =
        sorted.size() % 2 == 0 ? (sorted[half - 1] + sorted[half]) * 0.5 : sorted[half];
    const double wall = std::accumulate(c.turnMilliseconds.begin(), c.turnMilliseconds.end(), 0.0);
    std::fprintf(stderr,
                 "bench: %zu frames at %dx%d: %.1f frames per second of wall time, median %.2f ms "
                 "per frame, first frame presented %.3f s after process start\n",
                 c.turnMilliseconds.size(), c.options.width, c.options.height,
                 1000.0 * static_cast<double>(c.turnMilliseconds.size()) / wall, median,
                 c.startToFirstFrame);
    if (!c.options.outDir.empty()) {
        std::fprintf(stderr,
                     "bench: the times include reading back and writing %s to %s (%lld read "
                     "back)\n",
                     c.options.every > 0 ? "every frame numbered a multiple of --every"
                                         : "the last frame",
                     c.options.outDir.c_str(), static_cast<long long>(c.framesRead));
    }
}

void printGlCheckSummary(const Capture& c) {
    std::fprintf(stderr,
                 "check-gl: %lld unexpected GL errors, %lld expected (the torus's line width 0), "
                 "%s\n",
                 static_cast<long long>(c.unexpectedGlErrors),
                 static_cast<long long>(c.expectedGlErrors),
                 c.debugOutput ? "every error seen through the GL's debug output"
                               : "read with glGetError once per frame");
}
