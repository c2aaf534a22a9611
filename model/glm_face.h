// Internal to the model module: how a face statement is scanned. A face's first corner decides
// its format; every corner is then scanned alike, and a whole face line that provably scans one
// token per corner is read from bit masks of its bytes instead, with the same result.
#pragma once

#include "model/glm_scan.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace glm_detail {

// Which index triples a face carries, decided by its first corner.
enum class FaceFormat { V, VN, VTN, VT };

constexpr int valuesOf(FaceFormat format) {
    switch (format) {
    case FaceFormat::V:
        return 1;
    case FaceFormat::VN:
    case FaceFormat::VT:
        return 2;
    case FaceFormat::VTN:
        return 3;
    }
    return 1;
}

// One corner's scan: how many values converted and their raw values, in format order
// (vertex, then texture and/or normal), with where each starts for messages.
struct Corner {
    int converted;
    bool cleanEnd; // everything converted and followed by whitespace or the end
    const char* start;
    std::int64_t value[3];
    const char* text[3];
};

// "%d" into slot `slot`: whitespace skipped, as scanf's %d does. Forced inline, as is
// scanCorner: with the format a constant, the corner loops below compile to straight code.
[[gnu::always_inline]] inline bool scanValue(Scanner& s, Corner& c, int slot) {
    s.skipBlanks();
    const char* at = s.position();
    IntScan r = scanIntAt(at, s.end());
    if (r.length == 0) {
        return false;
    }
    s.advance(r.length);
    c.value[slot] = r.value;
    c.text[slot] = at;
    c.converted++;
    return true;
}

// Scans one corner as "%d", "%d//%d", "%d/%d/%d" or "%d/%d" would.
[[gnu::always_inline]] inline Corner scanCorner(Scanner& s, FaceFormat format) {
    Corner c;
    c.converted = 0;
    c.cleanEnd = false;
    s.skipBlanks();
    c.start = s.position();
    if (!scanValue(s, c, 0)) {
        return c;
    }
    switch (format) {
    case FaceFormat::V:
        break;
    case FaceFormat::VN:
        if (!s.match('/') || !s.match('/') || !scanValue(s, c, 1)) {
            return c;
        }
        break;
    case FaceFormat::VTN:
        if (!s.match('/') || !scanValue(s, c, 1) || !s.match('/') || !scanValue(s, c, 2)) {
            return c;
        }
        break;
    case FaceFormat::VT:
        if (!s.match('/') || !scanValue(s, c, 1)) {
            return c;
        }
        break;
    }
    c.cleanEnd = s.atBlankOrEnd();
    return c;
}

// The first corner's token decides the face format, tested in this order.
inline FaceFormat formatOf(std::string_view token) {
    if (token.find("//") != std::string_view::npos) {
        return FaceFormat::VN;
    }
    Scanner t(token.data(), token.size());
    Corner three = scanCorner(t, FaceFormat::VTN);
    if (three.converted == 3) {
        return FaceFormat::VTN;
    }
    t.rewind();
    Corner two = scanCorner(t, FaceFormat::VT);
    if (two.converted == 2) {
        return FaceFormat::VT;
    }
    return FaceFormat::V;
}

// Calls `use` with the format as a constant, so that the corner loop it runs is straight code.
template <class Use> void withFormat(FaceFormat format, Use use) {
    switch (format) {
    case FaceFormat::V:
        return use(std::integral_constant<FaceFormat, FaceFormat::V>{});
    case FaceFormat::VN:
        return use(std::integral_constant<FaceFormat, FaceFormat::VN>{});
    case FaceFormat::VTN:
        return use(std::integral_constant<FaceFormat, FaceFormat::VTN>{});
    case FaceFormat::VT:
        return use(std::integral_constant<FaceFormat, FaceFormat::VT>{});
    }
}

// A face line whose every token is read whole by one corner scan, as bit masks over the rest
// of the line after "f", one bit per byte (64 or 128 of them): `digits` on its digits and
// `runs` where each index starts, `values` runs to a corner. `longer` when the line does not
// end within the window.
template <class Mask> struct FaceLine {
    unsigned corners = 0, length = 0; // length: through the '\n'
    FaceFormat format = FaceFormat::V;
    Mask digits = 0, runs = 0;
    bool longer = false;
};

template <class Mask> inline unsigned lowestBit(Mask m) {
    if constexpr (sizeof(Mask) > 8) {
        auto low = static_cast<std::uint64_t>(m);
        return low != 0 ? lowestBit(low) : 64 + lowestBit(static_cast<std::uint64_t>(m >> 64));
    } else {
        return static_cast<unsigned>(__builtin_ctzll(m));
    }
}

// The face line at p when it provably scans one token per corner: at most 127 bytes before its
// '\n', nothing but digits, '/' and blanks, at least three tokens of one well-formed shape
// ("1", "1/2", "1//2" or "1/2/3"), and a next line that does not start as more corners would
// (the scan skips line ends, as fscanf does). Otherwise `corners` is 0. The window must be
// readable at p, and one byte more.
template <class Mask> FaceLine<Mask> faceLine(const char* p) {
    // 32 bytes at a time, their masks joined by fixed shifts.
    ByteClasses c[4] = {classify32(p), classify32(p + 32)};
    if constexpr (sizeof(Mask) > 8) {
        c[2] = classify32(p + 64);
        c[3] = classify32(p + 96);
    }
    auto join = [&c](std::uint32_t ByteClasses::*m) {
        Mask low = c[0].*m | std::uint64_t{c[1].*m} << 32;
        if constexpr (sizeof(Mask) > 8) {
            return low | Mask{c[2].*m | std::uint64_t{c[3].*m} << 32} << 64;
        }
        return low;
    };
    Mask blank = join(&ByteClasses::blank), digit = join(&ByteClasses::digit),
         slash = join(&ByteClasses::slash), newline = join(&ByteClasses::newline);
    FaceLine<Mask> line;
    line.longer = newline == 0;
    if (newline == 0) {
        return line;
    }
    unsigned n = lowestBit(newline);
    Mask inside = (Mask{1} << n) - 1, d = digit & inside, s = slash & inside;
    Mask starts = (d | s) & ~((d | s) << 1);
    // Every token must have the first one's shape. Past each token's first digit run (a sum
    // carries through a run) comes, alike for all tokens, either the token's end or a slash and
    // another run; a double slash only there, three runs at most.
    auto after = [d](Mask run) { return (d + run) & ~d; };
    auto all = [](Mask bits, Mask in) { return (bits & in) == bits; };
    Mask next = after(starts);
    bool alike = all(starts, d);
    FaceFormat format = FaceFormat::V;
    for (int slashes = 0; (next & s) != 0 && slashes < 2; ++slashes) {
        bool twice = slashes == 0 && all(next << 1, s);
        Mask run = next << (twice ? 2 : 1);
        alike = alike && all(next, s) && all(run, d);
        next = after(run);
        format = twice ? FaceFormat::VN : slashes == 0 ? FaceFormat::VT : FaceFormat::VTN;
        slashes += twice;
    }
    char following = p[n + 1];
    if (!alike || (next & s) != 0 || !all(inside, d | s | blank) || isBlank(following) ||
        isDigitByte(following) || following == '+' || following == '-') {
        return line;
    }
    for (Mask t = starts; t != 0; t &= t - 1) {
        ++line.corners;
    }
    line.corners = line.corners < 3 ? 0 : line.corners;
    line.length = n + 1;
    line.format = format;
    line.digits = d;
    line.runs = d & ~(d << 1);
    return line;
}

// Bytes a face line's masks may read from its start: the wider window, the byte after it and
// the word of an index in it.
inline constexpr std::ptrdiff_t kFaceLineReach = 136;

// Calls `use` with the face line at p, from the shorter window when the line fits in it.
template <class Use> void withFaceLine(const char* p, Use use) {
    if (FaceLine<std::uint64_t> line = faceLine<std::uint64_t>(p); !line.longer) {
        use(line);
    } else {
        use(faceLine<unsigned __int128>(p));
    }
}

} // namespace glm_detail
