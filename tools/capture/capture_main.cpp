// velmora-capture: the real program loop, headless, on a virtual clock with scripted input.
//
// It runs what `velmora` runs (window procedure, idle-turn keys, drawScene, status bar and
// About panel) on SDL's offscreen driver, so tests, previews and benchmarks see the demo frame
// for frame without a screen. The clock and the input are shell/scripted_run.h's.
#include "shell/main_loop.h"
#include "shell/shell.h"
#include "model/glm.h"
#include "platform/platform.h"
#include "scene/scene.h"
#include "scene/scene_state.h"
#include "tools/capture/capture.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <utility>

namespace {

void beforeTurn(void* context, std::int64_t turn) {
    Capture& c = *static_cast<Capture*>(context);
    if (turn == 1 && c.options.checkGl) {
        startGlChecks(c);
    }
    advanceScriptedRun(c.script, turn);
    if (c.options.bench) {
        c.turnStart = std::chrono::steady_clock::now();
    }
}

bool readFrame(Capture& c) {
    const int width = shell.clientWidth;
    const int height = shell.clientHeight;
    if (!shell.window || width <= 0 || height <= 0) {
        return false;
    }
    c.lastFrame = readBackBuffer(width, height, false);
    ++c.framesRead;
    return true;
}

// A failure is kept in c.writeError, which ends the run.
void writePng(Capture& c, std::int64_t turn) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(turn));
    std::filesystem::path path = std::filesystem::path(c.options.outDir) / name;
    std::string why; // the message names the file alone
    if (!writePng(path.string(), c.lastFrame, &why)) {
        c.writeError = "velmora-capture: can't write \"" + path.string() + "\"";
    }
}

void framePresenting(void* context, std::int64_t turn, bool last) {
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
        return;
    }
    // Only the last frame is written, so only it is read back: the turn count, a quit request
    // or Escape, or a GL error (see afterTurn) ends the run here.
    last = last || turn >= c.options.frames || c.unexpectedGlErrors > 0;
    if (last && readFrame(c)) {
        c.lastTurn = turn; // written when the loop has ended
    }
}

// Floats go out as the shortest decimal that reads back to the same 32-bit value, held as the
// double it spells, so that the JSON writer (shortest round trip for doubles) prints exactly
// those digits.
double floatForJson(float value) {
    char text[32];
    *std::to_chars(text, text + sizeof text - 1, value, std::chars_format::general).ptr = '\0';
    return std::strtod(text, nullptr);
}

nlohmann::json finite(double value) {
    if (std::isfinite(value)) {
        return value;
    }
    return std::isnan(value) ? "nan" : (value > 0 ? "inf" : "-inf");
}

nlohmann::json vec(const Vec3& v) {
    return {finite(floatForJson(v.x)), finite(floatForJson(v.y)), finite(floatForJson(v.z))};
}

nlohmann::json point(const PathPoint& p) {
    return {finite(p.x), finite(p.y), finite(p.z)};
}

void writeTrace(Capture& c, std::int64_t turn) {
    nlohmann::json line = {
        {"frame", turn},
        {"pathTime", finite(scene.pathTime)},
        {"averageFrameTime", finite(scene.averageFrameTime)},
        {"trailPoint", point(scene.trailPoint)},
        {"shipPoint", point(scene.shipPoint)},
        {"leadPoint", point(scene.leadPoint)},
        {"eye", vec(scene.camera.eye)},
        {"target", vec(scene.camera.target)},
        {"direction", vec(scene.camera.direction)},
        {"freeCamera", shell.scene.freeCamera},
        {"showPath", shell.scene.showPath},
        {"speedDivisor", floatForJson(shell.scene.speedDivisor)},
        {"aboutVisible", shell.aboutVisible},
        {"status", {shell.status[0], shell.status[1], shell.status[2]}},
    };
    *c.trace << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

bool afterTurn(void* context, std::int64_t turn) {
    Capture& c = *static_cast<Capture*>(context);
    if (c.options.bench) {
        auto now = std::chrono::steady_clock::now();
        if (turn == 1) {
            c.startToFirstFrame = platformSecondsSinceProcessStart();
        }
        c.turnMilliseconds.push_back(
            std::chrono::duration<double, std::milli>(now - c.turnStart).count());
    }
    if (c.trace != nullptr) {
        writeTrace(c, turn);
    }
    if (c.options.rssEvery > 0 && (turn == 1 || turn % c.options.rssEvery == 0)) {
        printResidentMemory(turn);
    }
    // An unexpected GL error ends the run: the frames after it prove nothing more.
    return turn < c.options.frames && c.writeError.empty() && c.unexpectedGlErrors == 0;
}

} // namespace

int main(int argc, char** argv) {
    auto capture = std::make_unique<Capture>();
    Capture& c = *capture;
    if (int status = 0; !parseOptions(argc, argv, &c.options, &status)) {
        return status;
    }
    const Options& o = c.options;
    std::ofstream traceFile;
    if (o.traceFile == "-") {
        c.trace = &std::cout;
    } else if (!o.traceFile.empty()) {
        traceFile.open(o.traceFile, std::ios::binary | std::ios::trunc);
        if (!traceFile) {
            std::fprintf(stderr, "velmora-capture: can't write the trace \"%s\"\n",
                         o.traceFile.c_str());
            return 1;
        }
        c.trace = &traceFile;
    }

    startScriptedRun(c.script, o.step, std::move(c.options.events));

    std::string reason;
    if (!platformOpenDisplay(&reason, true)) {
        std::fprintf(stderr, "velmora-capture: can't start the offscreen display (%s)\n",
                     reason.c_str());
        return 2;
    }

    LoopHooks hooks{&c, beforeTurn, framePresenting, afterTurn};
    int exitCode = 0;
    try {
        exitCode = appMain(o.width, o.height, &hooks);
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
        return 1;
    }
    if (o.checkGl) {
        printGlCheckSummary(c);
        if (c.unexpectedGlErrors > 0) {
            return 3;
        }
    }
    return exitCode;
}
