#include "tools/capture/capture_script.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace {

bool parseInt(const std::string& word, long long low, long long high, long long* out) {
    const char* first = word.data();
    const char* last = word.data() + word.size();
    auto [end, ec] = std::from_chars(first, last, *out);
    return ec == std::errc() && end == last && *out >= low && *out <= high;
}

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
        const std::string& verb = w[1];
        ScriptEvent event{frame, ScriptEventKind::Close, 0, 0};
        std::size_t arity = 0;
        long long limit = 65535;
        if (verb == "keydown" || verb == "keyup") {
            event.kind = verb == "keydown" ? ScriptEventKind::KeyDown : ScriptEventKind::KeyUp;
            arity = 1;
            limit = 255;
        } else if (verb == "mousemove") {
            event.kind = ScriptEventKind::MouseMove;
            arity = 2;
        } else if (verb == "resize") {
            event.kind = ScriptEventKind::Resize;
            arity = 2;
        } else if (verb == "close") {
            event.kind = ScriptEventKind::Close;
        } else {
            return fail("unknown event \"" + verb +
                        "\" (keydown, keyup, mousemove, resize or close)");
        }
        if (w.size() != arity + 2) {
            return fail("\"" + verb + "\" takes " + std::to_string(arity) + " number(s)");
        }
        long long values[2] = {0, 0};
        for (std::size_t i = 0; i < arity; ++i) {
            if (!parseInt(w[i + 2], 0, limit, &values[i])) {
                return fail("\"" + w[i + 2] + "\" is not a whole number from 0 to " +
                            std::to_string(limit));
            }
        }
        event.a = static_cast<int>(values[0]);
        event.b = static_cast<int>(values[1]);
        result.events.push_back(event);
    }
    std::stable_sort(result.events.begin(), result.events.end(),
                     [](const ScriptEvent& l, const ScriptEvent& r) { return l.frame < r.frame; });
    return result;
}
