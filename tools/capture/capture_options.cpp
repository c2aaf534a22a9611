#include "tools/capture/capture.h"
#include "ui/size_text.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

bool parseInt(const std::string& word, long long low, long long high, long long* out) {
    const char* first = word.data();
    const char* last = word.data() + word.size();
    auto [end, ec] = std::from_chars(first, last, *out);
    return ec == std::errc() && end == last && *out >= low && *out <= high;
}

// Each event's numbers: how many, and from `lowest` to `limit`.
struct Verb {
    const char* name;
    ScriptEventKind kind;
    std::size_t arity;
    long long lowest;
    long long limit;
};
// Pointer positions are signed, as the window system reports a pointer dragged out past the left
// or top; 32768 to 65535 are the same 16-bit values written unsigned (65535 is -1).
constexpr Verb verbs[] = {{"keydown", ScriptEventKind::KeyDown, 1, 0, 255},
                          {"keyup", ScriptEventKind::KeyUp, 1, 0, 255},
                          {"mousemove", ScriptEventKind::MouseMove, 2, -32768, 65535},
                          {"resize", ScriptEventKind::Resize, 2, 0, 65535},
                          {"close", ScriptEventKind::Close, 0, 0, 0}};

} // namespace

ScriptParseResult parseCaptureScript(const std::string& text) {
    ScriptParseResult result;
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        if (std::size_t hash = line.find('#'); hash != std::string::npos) {
            line.erase(hash);
        }
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) {
            w.push_back(word);
        }
        if (w.empty()) {
            continue;
        }
        auto fail = [&](const std::string& what) {
            result.events.clear();
            result.error = std::to_string(lineNumber) + ": " + what;
            return result;
        };
        long long frame = 0;
        if (!parseInt(w[0], 1, 1'000'000'000'000LL, &frame)) {
            return fail("frame number must be a whole number from 1, not \"" + w[0] + "\"");
        }
        if (w.size() < 2) {
            return fail("missing event after the frame number");
        }
        const Verb* verb = std::find_if(std::begin(verbs), std::end(verbs),
                                        [&](const Verb& v) { return w[1] == v.name; });
        if (verb == std::end(verbs)) {
            return fail("unknown event \"" + w[1] +
                        "\" (keydown, keyup, mousemove, resize or close)");
        }
        if (w.size() != verb->arity + 2) {
            return fail("\"" + w[1] + "\" takes " + std::to_string(verb->arity) + " number(s)");
        }
        long long values[2] = {0, 0};
        for (std::size_t i = 0; i < verb->arity; ++i) {
            if (!parseInt(w[i + 2], verb->lowest, verb->limit, &values[i])) {
                return fail("\"" + w[i + 2] + "\" is not a whole number from " +
                            std::to_string(verb->lowest) + " to " + std::to_string(verb->limit));
            }
        }
        result.events.push_back(
            {frame, verb->kind, static_cast<int>(values[0]), static_cast<int>(values[1])});
    }
    std::stable_sort(result.events.begin(), result.events.end(),
                     [](const ScriptEvent& l, const ScriptEvent& r) { return l.frame < r.frame; });
    return result;
}

bool parseOptions(int argc, char** argv, Options* o, int* exitCode) {
    std::string size = "800x400";
    std::string scriptFile;
    CLI::App app{"velmora-capture: runs the demo headless on a virtual clock with scripted input"};
    app.add_option("--frames", o->frames, "turns to run")->check(CLI::Range(1LL, 100'000'000LL));
    app.add_option("--step", o->step, "virtual seconds per turn")->check(CLI::Range(0.0, 3600.0));
    app.add_option("--size", size, "client size WxH");
    app.add_option("--out", o->outDir, "write frames as DIR/frame-NNNNNN.png");
    app.add_option("--every", o->every, "write every K-th frame (default: the last one only)")
        ->check(CLI::Range(1LL, 100'000'000LL));
    app.add_option("--trace", o->traceFile, "one JSON object per turn to FILE (- for stdout)");
    app.add_option("--script", scriptFile,
                   "scripted input: FRAME keydown|keyup|mousemove|resize|close ...");
    app.add_flag("--bench", o->bench,
                 "print frames per second, median frame time and start-up time");
    app.add_flag("--check-gl,!--no-check-gl", o->checkGl,
                 "read the GL errors after every frame; any but the torus's rejected line "
                 "width ends the run with status 3");
    app.set_version_flag("--version", "velmora-capture " VELMORA_VERSION);
    app.add_option("--rss-every", o->rssEvery,
                   "print the resident memory to stderr after turn 1 and every K-th turn")
        ->check(CLI::Range(1LL, 100'000'000LL));
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help and --version end well; anything else is a usage error, whatever CLI11's own
        // code for it.
        *exitCode = error.get_exit_code() == 0 ? app.exit(error) : 2;
        if (*exitCode != 0) {
            std::fprintf(stderr, "velmora-capture: %s\n%s", error.what(), app.help().c_str());
        }
        return false;
    }

    // A bad option's value is a usage error (2); a file that cannot be used ends with 1.
    auto refuse = [&](const std::string& why, int status = 1) {
        std::fprintf(stderr, "velmora-capture: %s\n", why.c_str());
        *exitCode = status;
        return false;
    };
    if (!parseSize(size, 16384, &o->width, &o->height)) {
        return refuse("--size must be WxH with both from 1 to 16384, not \"" + size + "\"", 2);
    }
    if (!scriptFile.empty()) {
        std::ifstream in(scriptFile, std::ios::binary);
        if (!in) {
            return refuse("can't open script \"" + scriptFile + "\"");
        }
        std::stringstream text;
        text << in.rdbuf();
        ScriptParseResult parsed = parseCaptureScript(text.str());
        if (!parsed.error.empty()) {
            return refuse(scriptFile + ":" + parsed.error);
        }
        o->events = std::move(parsed.events);
    }
    std::error_code ec;
    if (!o->outDir.empty() && !std::filesystem::create_directories(o->outDir, ec) &&
        !std::filesystem::is_directory(o->outDir)) {
        return refuse("can't create the output folder \"" + o->outDir + "\"");
    }
    return true;
}
