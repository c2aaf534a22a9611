// Scripted input for the capture tool.
//
// One event a line: `FRAME keydown CODE`, `FRAME keyup CODE`, `FRAME mousemove X Y`,
// `FRAME resize W H`, `FRAME close`. FRAME is the 1-based turn before which the event's message
// is queued; `#` starts a comment; blank lines are ignored. Events keep their file order within
// a frame. Key codes are 0 to 255; sizes and positions 0 to 65535 (they travel in the 16-bit
// halves of a message parameter).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class ScriptEventKind { KeyDown, KeyUp, MouseMove, Resize, Close };

struct ScriptEvent {
    std::int64_t frame;
    ScriptEventKind kind;
    int a; // key code, x or width
    int b; // y or height
};

struct ScriptParseResult {
    std::vector<ScriptEvent> events; // sorted by frame, file order kept within a frame
    std::string error;               // empty on success, else "LINE: what is wrong"
};

ScriptParseResult parseCaptureScript(const std::string& text);
