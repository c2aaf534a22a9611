// Internal to the model module: the text scanner both readers share, number conversion, checked
// allocation and message formatting.
//
// The scanner walks a buffer the way the readers once walked a text-mode stream with "%s",
// "%d", "%f" and a 128-byte fgets: tokens of at most 127 characters, rest-of-line reads of at
// most 127 characters ("\r\n" counting as one), numbers that skip leading whitespace. It never
// reads outside [begin, end) and never allocates.
#pragma once

#include "model/glm.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fast_float/fast_float.h>
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

// "%d" at p (no whitespace skipping here): optional sign, then digits. Inline: the reader
// calls it for every index of every corner.
inline IntScan scanIntAt(const char* p, const char* end) {
    const char* q = p;
    bool negative = false;
    if (q != end && (*q == '+' || *q == '-')) {
        negative = *q == '-';
        ++q;
    }
    if (q == end || static_cast<unsigned char>(*q - '0') > 9) {
        return {0, 0};
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

// "%f" at p (no whitespace skipping here): optional sign (a '+' too), then a decimal number,
// inf, infinity, nan, nan(...) or a hex float; correctly rounded to float as strtof does
// (fast_float's algorithm), overflow giving +-inf and underflow +-0.
inline FloatScan scanFloatAt(const char* p, const char* end) {
    const char* q = p;
    bool negative = false;
    if (q != end && (*q == '+' || *q == '-')) {
        negative = *q == '-';
        ++q;
    }
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
    void skipLine() { restOfLine(); }
    // "%d" / "%f" from the data: leading whitespace is skipped (and stays consumed when no
    // number follows, as with scanf).
    IntScan scanInt() {
        skipBlanks();
        IntScan s = scanIntAt(p_, end_);
        p_ += s.length;
        return s;
    }
    FloatScan scanFloat() {
        skipBlanks();
        FloatScan s = scanFloatAt(p_, end_);
        p_ += s.length;
        return s;
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
char* copyString(std::string_view text, const char* who);

// "%s"-style copy of text for messages: stops at the first NUL.
std::string cText(std::string_view text);
[[noreturn]] void fatal(GlmStream stream, const std::string& message);

} // namespace glm_detail
