// velmora-capture's parts: the options, the run's state, and the diagnostics (GL error checks,
// memory and start-up figures).
#pragma once

#include "shell/scripted_run.h"
#include "ui/picture.h"

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// Scripted input for the capture tool.
//
// One event a line: `FRAME keydown CODE`, `FRAME keyup CODE`, `FRAME mousemove X Y`,
// `FRAME resize W H`, `FRAME close`. FRAME is the 1-based turn before which the event's message
// is queued; `#` starts a comment; blank lines are ignored. Events keep their file order within
// a frame. Key codes are 0 to 255; sizes and positions 0 to 65535 (they travel in the 16-bit
// halves of a message parameter).
struct ScriptParseResult {
    std::vector<ScriptEvent> events; // sorted by frame, file order kept within a frame
    std::string error;               // empty on success, else "LINE: what is wrong"
};

ScriptParseResult parseCaptureScript(const std::string& text);

struct Options {
    std::int64_t frames = 1;
    double step = 1.0 / 60.0;
    int width = 800;
    int height = 400;
    std::string outDir;
    std::int64_t every = 0; // 0: the last frame only
    std::string traceFile;
    bool bench = false;
#ifdef VELMORA_GL_CHECKS
    bool checkGl = true; // a checking build checks unless told otherwise
#else
    bool checkGl = false;
#endif
    std::int64_t rssEvery = 0;
    std::vector<ScriptEvent> events;
};

// Parses the command line and reads the script; false after printing why (exitCode says
// with which status to end: 0 for --help).
bool parseOptions(int argc, char** argv, Options* options, int* exitCode);

struct Capture {
    Options options;
    ScriptedRun script;
    std::ostream* trace = nullptr;
    FramePixels lastFrame;
    std::int64_t lastTurn = 0;
    std::int64_t framesRead = 0; // back from GL, for --bench to tell
    std::string writeError;
    // --bench
    std::chrono::steady_clock::time_point turnStart;
    std::vector<double> turnMilliseconds;
    double startToFirstFrame = -1;
    // --check-gl
    bool debugOutput = false;
    std::vector<std::string> debugErrors; // this turn's GL_DEBUG_TYPE_ERROR messages
    std::int64_t expectedGlErrors = 0;
    std::int64_t unexpectedGlErrors = 0;
};

// "rss: turn T N KiB (anonymous A KiB, file F KiB)" to standard error: all resident memory, its
// anonymous part (heap, stacks, the driver's buffers) and its file-backed part (program and
// library pages); -1 where unknown.
void printResidentMemory(std::int64_t turn);
// --check-gl: at the first turn, then after every frame.
void startGlChecks(Capture& c);
void checkGlErrors(Capture& c, std::int64_t turn);
void printGlCheckSummary(const Capture& c);
void printBench(const Capture& c);
