// Internal to the model module: the text scanner both readers share, number conversion, checked
// allocation, message formatting, and the record's helpers the OBJ reader calls.
//
// The scanner reads a buffer by the rules of a text-mode stream read with "%s", "%d", "%f" and
// a 128-byte fgets, which the file format's writers assume: tokens of at most 127 characters,
// rest-of-line reads of at most 127 characters ("\r\n" counting as one), numbers that skip
// leading whitespace. It never reads outside [begin, end) and never allocates.
#pragma once

#include "model/glm.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fast_float/fast_float.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <string>
#include <system_error>
#include <string_view>

namespace glm_detail {

inline constexpr std::size_t kTokenLimit = 127;

// The C locale's isspace, without a locale.
inline bool isBlank(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Outcome of one number scan. `length` is 0 when no number was formed (nothing consumed).
struct IntScan {
    std::size_t length;
    std::int64_t value; // saturated at +-2^62 when the text is longer than any index
};
struct FloatScan {
    std::size_t length;
    float value;
};

// Index of the first byte in the 8 at p (little-endian word) that is not an ASCII digit;
// 8 when all are. A byte's high nibble must be 3 and its low nibble at most 9; the carry that
// adding 6 may push into the next byte only follows a non-digit, which is found first.
inline unsigned digitsInWord(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    constexpr std::uint64_t high = 0xF0F0F0F0F0F0F0F0ull, threes = 0x3030303030303030ull;
    std::uint64_t bad = ((w & high) ^ threes) | (((w + 0x0606060606060606ull) & high) ^ threes);
    // Marks every non-zero byte of `bad` with its top bit, without carries between bytes.
    std::uint64_t marks =
        (bad | ((bad & 0x7F7F7F7F7F7F7F7Full) + 0x7F7F7F7F7F7F7F7Full)) & 0x8080808080808080ull;
    return marks == 0 ? 8u : static_cast<unsigned>(__builtin_ctzll(marks)) / 8u;
}

inline bool isDigitByte(char c) {
    return static_cast<unsigned char>(c - '0') <= 9;
}

// The value of the n (1 to 8) digits at p, 8 bytes being readable there. Shifting the digits to
// the top of the word puts zeros in front (bytes past them borrow only upwards, out of the
// word); then neighbouring digits, pairs and quads are combined, no lane carrying into the next.
inline std::uint64_t digitsValue(std::uint64_t w, unsigned n) {
    w = (w - 0x3030303030303030ull) << (8 * (8 - n));
    w = (w * 10 + (w >> 8)) & 0x00FF00FF00FF00FFull;
    w = (w * 100 + (w >> 16)) & 0x0000FFFF0000FFFFull;
    return (w * 10000 + (w >> 32)) & 0xFFFFFFFFull;
}
inline std::uint64_t digitsValue(const char* p, unsigned n) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return digitsValue(w, n);
}

// Steps q over an optional '+' or '-'; true for '-'.
[[gnu::always_inline]] inline bool takeSign(const char*& q, const char* end) {
    const bool negative = q != end && *q == '-';
    q += q != end && (*q == '+' || *q == '-');
    return negative;
}

// "%d" at p (no whitespace skipping here): optional sign, then digits. Inline: the reader
// calls it for every index of every corner.
[[gnu::always_inline]] inline IntScan scanIntAt(const char* p, const char* end) {
    const char* q = p;
    const bool negative = takeSign(q, end);
    if (q == end || static_cast<unsigned char>(*q - '0') > 9) {
        return {0, 0};
    }
    // Indices are short: one word holds them and their end.
    if (end - q >= 8) {
        if (unsigned n = digitsInWord(q); n < 8) {
            auto value = static_cast<std::int64_t>(digitsValue(q, n));
            return {static_cast<std::size_t>(q + n - p), negative ? -value : value};
        }
    }
    constexpr std::int64_t cap = std::int64_t{1} << 62;
    std::int64_t value = 0;
    // Whole words where the data allows, bytes near its end; 18 digits cannot overflow, only
    // longer texts need the saturating step.
    const char* digitsEnd = q;
    while (end - digitsEnd >= 8) {
        unsigned n = digitsInWord(digitsEnd);
        digitsEnd += n;
        if (n < 8) {
            break;
        }
    }
    if (end - digitsEnd < 8) {
        while (digitsEnd != end && isDigitByte(*digitsEnd)) {
            ++digitsEnd;
        }
    }
    if (digitsEnd - q <= 18) {
        for (; q != digitsEnd; ++q) {
            value = value * 10 + (*q - '0');
        }
    } else {
        for (; q != digitsEnd; ++q) {
            value = value <= (cap - 9) / 10 ? value * 10 + (*q - '0') : cap;
        }
    }
    return {static_cast<std::size_t>(q - p), negative ? -value : value};
}

// Hex floats ("0x1.8p3"), which scanf's %f reads too; `q` is just past the "0x" and the sign.
FloatScan scanHexFloatAt(const char* p, const char* q, const char* end, bool negative);

// The hex digits at q (past "0x") as from_chars reads them: where they end, the error, the value.
// By strtof, for a library without floating-point from_chars (the web build's); compiled
// everywhere, so that the tests hold it to from_chars.
struct HexDigits {
    const char* ptr;
    std::errc ec;
    float value;
};
HexDigits hexByStrtof(const char* q, const char* end);

// "%f" at p (no whitespace skipping here): optional sign (a '+' too), then a decimal number,
// inf, infinity, nan, nan(...) or a hex float; correctly rounded to float as strtof does
// (fast_float's algorithm), overflow giving +-inf and underflow +-0.
inline FloatScan scanFloatAt(const char* p, const char* end) {
    const char* q = p;
    const bool negative = takeSign(q, end);
    // fast_float would take a second sign itself; scanf does not.
    if (q == end || *q == '+' || *q == '-') {
        return {0, 0.0f};
    }
    if (end - q > 2 && q[0] == '0' && (q[1] == 'x' || q[1] == 'X')) {
        FloatScan hex = scanHexFloatAt(p, q + 2, end, negative);
        if (hex.length != 0) {
            return hex;
        }
    }
    float value = 0.0f;
    auto r = fast_float::from_chars(q, end, value);
    if (r.ec != std::errc()) {
        return {0, 0.0f};
    }
    return {static_cast<std::size_t>(r.ptr - p), negative ? -value : value};
}

// Bit i of each mask tells about byte i of the 16 (or 32) at p: a blank, a byte up to ' ', a
// digit, '.', '/', '\n'. With them a scan knows where a token ends and what it holds before
// reading it, so the next token need not wait for its digits. The bytes must be readable.
struct ByteClasses {
    std::uint32_t blank, low, digit, dot, slash, newline;
};
// Byte by byte, for machines without SSE2 (the web build's); compiled everywhere, so that the
// tests hold it to the vector form.
inline ByteClasses classify16Bytes(const char* p) {
    ByteClasses c{};
    for (unsigned i = 0; i < 16; ++i) {
        c.blank |= std::uint32_t{isBlank(static_cast<unsigned char>(p[i]))} << i;
        c.low |= std::uint32_t{static_cast<unsigned char>(p[i]) <= ' '} << i;
        c.digit |= std::uint32_t{isDigitByte(p[i])} << i;
        c.dot |= std::uint32_t{p[i] == '.'} << i;
        c.slash |= std::uint32_t{p[i] == '/'} << i;
        c.newline |= std::uint32_t{p[i] == '\n'} << i;
    }
    return c;
}
[[gnu::always_inline]] inline ByteClasses classify16(const char* p) {
#if defined(__SSE2__)
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i digit = _mm_sub_epi8(x, _mm_set1_epi8('0'));
    auto bits = [](__m128i m) { return static_cast<std::uint32_t>(_mm_movemask_epi8(m)); };
    __m128i control = _mm_sub_epi8(x, _mm_set1_epi8('\t')); // \t to \r as 0 to 4
    return {bits(_mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(' ')),
                              _mm_cmpeq_epi8(_mm_min_epu8(control, _mm_set1_epi8(4)), control))),
            bits(_mm_cmpeq_epi8(_mm_min_epu8(x, _mm_set1_epi8(' ')), x)),
            bits(_mm_cmpeq_epi8(_mm_min_epu8(digit, _mm_set1_epi8(9)), digit)),
            bits(_mm_cmpeq_epi8(x, _mm_set1_epi8('.'))),
            bits(_mm_cmpeq_epi8(x, _mm_set1_epi8('/'))),
            bits(_mm_cmpeq_epi8(x, _mm_set1_epi8('\n')))};
#else
    return classify16Bytes(p);
#endif
}
[[gnu::always_inline]] inline ByteClasses classify32(const char* p) {
    ByteClasses a = classify16(p), b = classify16(p + 16);
    return {a.blank | b.blank << 16, a.low | b.low << 16,     a.digit | b.digit << 16,
            a.dot | b.dot << 16,     a.slash | b.slash << 16, a.newline | b.newline << 16};
}

// "%f" for a token (up to its first byte up to ' ') that is an optional '-' and at most 7
// digits with at most one '.' among them: they make an integer w < 2^24 over 10^k, both exact
// floats, so one IEEE division rounds the quotient as strtof rounds the text. Returns the
// token's length, or 0 to leave it to scanKeptFloat; that answer never waits for the digits' value.
// 16 bytes must be readable at p.
[[gnu::always_inline]] inline unsigned quickFloat(const char* p, float* value) {
    static constexpr float kPowers[8] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    ByteClasses c = classify16(p);
    unsigned length = static_cast<unsigned>(__builtin_ctz(c.low | 1u << 16));
    unsigned sign = *p == '-', at = static_cast<unsigned>(__builtin_ctz(c.dot | 1u << 16));
    std::uint32_t body = ((1u << length) - 1) & ~sign, dot = c.dot & body;
    unsigned digits = length - sign - (dot != 0);
    if (digits - 1 > 6 || ((c.digit | dot) & body) != body || (dot & (dot - 1)) != 0) {
        return 0;
    }
    std::uint64_t w;
    std::memcpy(&w, p + sign, 8);
    // The point taken out: the digits after it move down one byte.
    std::uint64_t below = dot != 0 ? (std::uint64_t{1} << (8 * (at - sign))) - 1 : ~0ull;
    w = (w & below) | ((w >> 8) & ~below);
    float f = static_cast<float>(digitsValue(w, digits)) / kPowers[dot != 0 ? length - 1 - at : 0];
    *value = sign ? -f : f;
    return length;
}

class Scanner {
  public:
    Scanner(const char* data, std::size_t size) : begin_(data), p_(data), end_(data + size) {}

    void rewind() { p_ = begin_; }
    bool atEnd() const { return p_ == end_; }
    const char* position() const { return p_; }
    const char* end() const { return end_; }
    void advance(std::size_t n) { p_ += n; }
    void skipBlanks() {
        while (p_ != end_ && isBlank(static_cast<unsigned char>(*p_))) {
            ++p_;
        }
    }
    // The next token into *out; false at the end of the data.
    bool nextToken(std::string_view* out) {
        *out = token();
        return !out->empty();
    }
    // "%s" into a 128-byte buffer: empty at the end of the data.
    std::string_view token() {
        skipBlanks();
        const char* start = p_;
        const char* limit =
            end_ - p_ > static_cast<std::ptrdiff_t>(kTokenLimit) ? p_ + kTokenLimit : end_;
        while (p_ != limit && !isBlank(static_cast<unsigned char>(*p_))) {
            ++p_;
        }
        return {start, static_cast<std::size_t>(p_ - start)};
    }
    // fgets into a 128-byte buffer: the rest of the line with its line end, 127 characters at
    // most, "\r\n" counting as one character.
    std::string_view restOfLine();
    void skipLine() {
        // Most lines end within 32 bytes: found there without a loop.
        if (std::uint32_t ends = end_ - p_ >= 32 ? classify32(p_).newline : 0) {
            p_ += __builtin_ctz(ends) + 1;
        } else {
            restOfLine();
        }
    }
    // Matches one literal character, as a scanf format character does.
    bool match(char c) {
        if (p_ != end_ && *p_ == c) {
            ++p_;
            return true;
        }
        return false;
    }
    bool atBlankOrEnd() const { return p_ == end_ || isBlank(static_cast<unsigned char>(*p_)); }
    // 1-based line number of a position; counts line ends, so it is only used for messages.
    unsigned lineOf(const char* q) const;
    // Up to 127 characters of the non-blank text starting at q, for messages.
    std::string_view wordAt(const char* q) const;

  private:
    const char* begin_;
    const char* p_;
    const char* end_;
};

// A whole file's bytes, from the file source: mapped when it is a regular file on the file
// system, otherwise copied. An empty file has size 0.
class FileBytes {
  public:
    FileBytes() = default;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes();
    // False when the file cannot be read (missing, unreadable, a directory).
    bool open(const char* path);
    const char* data() const { return data_ != nullptr ? data_ : ""; }
    std::size_t size() const { return size_; }

  private:
    void* mapped_ = nullptr;
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    std::string copy_;
};

// A name from the rest of a line: the second of up to two words, else the first, else "";
// ends at the first NUL.
std::string_view nameFromLine(std::string_view rest);
// A "g" name: the rest of the line without its line end, ending at the first NUL.
std::string_view groupNameFromLine(std::string_view rest);

// calloc of count * size bytes with the product checked; throws GlmFatalError when the size
// overflows or memory runs out. Zero bytes give a valid unique allocation.
void* checkedCalloc(std::size_t count, std::size_t size, const char* who);
// The same without clearing, for scratch arrays that are written before they are read.
void* checkedMalloc(std::size_t count, std::size_t size, const char* who);
// free() for arrays that may be big: those are kept for the allocations above to reuse.
void release(void* array);
char* copyString(std::string_view text, const char* who);

// A new empty group at the head of the model's list.
GlmGroup* addGroup(GlmModel* model, std::string_view name);
void notifyMissingMaterial(std::string_view name);

// "%s"-style copy of text for messages: stops at the first NUL.
std::string cText(std::string_view text);
[[noreturn]] void fatal(GlmStream stream, const std::string& message);

// "%f" for a value that is kept: blanks skipped, then `length` 0 when no number follows (nothing
// more consumed). A number that is no finite 32-bit float goes to `fail(at, message)`, which
// throws.
template <class Fail> FloatScan scanKeptFloat(Scanner& s, Fail fail) {
    s.skipBlanks();
    const char* at = s.position();
    FloatScan f = scanFloatAt(at, s.end());
    s.advance(f.length);
    if (f.length != 0 && !std::isfinite(f.value)) {
        fail(at, "\"" + cText(std::string_view(at, f.length).substr(0, kTokenLimit)) +
                     "\" is not a finite 32-bit number.");
    }
    return f;
}

} // namespace glm_detail
