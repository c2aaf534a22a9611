#include "model/glm_scan.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <malloc.h>
#include <mutex>
#include <string>
#include <sys/mman.h>
#include <system_error>
#include <utility>

namespace glm_detail {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// from_chars reports a float that overflows or rounds to zero as out of range without a
// value, while scanf stores +-inf or +-0. The two are told apart by the order of magnitude of
// the text, which for an out-of-range float is at least 38 decimal places away from 1.
bool magnitudeAboveOne(const char* p, const char* end, bool hex) {
    auto digit = hex ? isHexDigit : isDigit;
    long long magnitude = 0;
    const char* q = p;
    while (q != end && *q == '0') {
        ++q;
    }
    long long integerDigits = 0;
    while (q != end && digit(*q)) {
        ++integerDigits;
        ++q;
    }
    if (integerDigits > 0) {
        magnitude = integerDigits;
        if (q != end && *q == '.') {
            ++q;
        }
    } else {
        if (q != end && *q == '.') {
            ++q;
        }
        long long zeros = 0;
        while (q != end && *q == '0') {
            ++zeros;
            ++q;
        }
        magnitude = -zeros;
    }
    while (q != end && digit(*q)) {
        ++q;
    }
    long long exponent = 0;
    if (q != end && (hex ? (*q == 'p' || *q == 'P') : (*q == 'e' || *q == 'E'))) {
        ++q;
        bool negative = false;
        if (q != end && (*q == '+' || *q == '-')) {
            negative = *q == '-';
            ++q;
        }
        while (q != end && isDigit(*q)) {
            if (exponent < 1000000000) {
                exponent = exponent * 10 + (*q - '0');
            }
            ++q;
        }
        if (negative) {
            exponent = -exponent;
        }
    }
    // Hex digits are worth 4 binary places against a binary exponent.
    long long total = hex ? magnitude * 4 + exponent : magnitude + exponent;
    return total > 0;
}

} // namespace

HexDigits hexByStrtof(const char* q, const char* end) {
    HexDigits r{q, std::errc::invalid_argument, 0.0f};
    const char* stop = q;
    while (stop != end && (isHexDigit(*stop) || *stop == '.' || *stop == 'p' || *stop == 'P' ||
                           ((*stop == '+' || *stop == '-') && stop != q &&
                            (stop[-1] == 'p' || stop[-1] == 'P')))) {
        ++stop;
    }
    std::string copy = "0x" + std::string(q, stop);
    char* parsed = nullptr;
    errno = 0;
    r.value = std::strtof(copy.c_str(), &parsed);
    if (parsed > copy.c_str() + 2) {
        r.ptr = q + (parsed - copy.c_str() - 2);
        r.ec = errno == ERANGE && (std::isinf(r.value) || r.value == 0.0f)
                   ? std::errc::result_out_of_range
                   : std::errc();
    }
    return r;
}

FloatScan scanHexFloatAt(const char* p, const char* q, const char* end, bool negative) {
    if (!(q != end && (isHexDigit(*q) || (*q == '.' && end - q > 1 && isHexDigit(q[1]))))) {
        return {0, 0.0f}; // "0x" alone reads as the number 0 followed by an 'x'
    }
#if defined(__cpp_lib_to_chars)
    HexDigits r{q, std::errc(), 0.0f};
    const auto read = std::from_chars(q, end, r.value, std::chars_format::hex);
    r.ptr = read.ptr;
    r.ec = read.ec;
#else
    const HexDigits r = hexByStrtof(q, end);
#endif
    float value = r.value;
    if (r.ec == std::errc::result_out_of_range) {
        value = magnitudeAboveOne(q, r.ptr, true) ? std::numeric_limits<float>::infinity() : 0.0f;
    } else if (r.ec != std::errc()) {
        return {0, 0.0f};
    }
    return {static_cast<std::size_t>(r.ptr - p), negative ? -value : value};
}

namespace {
// memchr for '\n' without the call: most lines are a few dozen bytes.
const char* findNewline(const char* p, const char* limit) {
    constexpr std::uint64_t ones = 0x0101010101010101ull, tops = 0x8080808080808080ull;
    while (limit - p >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        std::uint64_t x = w ^ 0x0A0A0A0A0A0A0A0Aull;
        // The lowest marked byte is exactly the first zero byte of x.
        std::uint64_t zero = (x - ones) & ~x & tops;
        if (zero != 0) {
            return p + __builtin_ctzll(zero) / 8;
        }
        p += 8;
    }
    for (; p != limit; ++p) {
        if (*p == '\n') {
            return p;
        }
    }
    return nullptr;
}
} // namespace

std::string_view Scanner::restOfLine() {
    const char* start = p_;
    std::size_t available = static_cast<std::size_t>(end_ - p_);
    std::size_t window = available < kTokenLimit + 1 ? available : kTokenLimit + 1;
    const char* found = findNewline(p_, p_ + window);
    if (found != nullptr) {
        std::size_t k = static_cast<std::size_t>(found - p_);
        // On a text-mode stream "\r\n" arrives as one '\n'.
        std::size_t counted = k + 1 - ((k > 0 && p_[k - 1] == '\r') ? 1 : 0);
        if (counted <= kTokenLimit) {
            p_ += k + 1;
            return {start, k + 1};
        }
    }
    std::size_t take = available < kTokenLimit ? available : kTokenLimit;
    p_ += take;
    return {start, take};
}

unsigned Scanner::lineOf(const char* q) const {
    unsigned line = 1;
    for (const char* r = begin_; r < q && r < end_; ++r) {
        if (*r == '\n') {
            ++line;
        }
    }
    return line;
}

std::string_view Scanner::wordAt(const char* q) const {
    const char* r = q;
    while (r != end_ && r - q < static_cast<std::ptrdiff_t>(kTokenLimit) &&
           !isBlank(static_cast<unsigned char>(*r))) {
        ++r;
    }
    return {q, static_cast<std::size_t>(r - q)};
}

namespace {
std::string_view untilNul(std::string_view text) {
    std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}
} // namespace

std::string_view nameFromLine(std::string_view rest) {
    rest = untilNul(rest);
    std::string_view words[2];
    int count = 0;
    std::size_t i = 0;
    while (count < 2) {
        while (i < rest.size() && isBlank(static_cast<unsigned char>(rest[i]))) {
            ++i;
        }
        if (i == rest.size()) {
            break;
        }
        std::size_t start = i;
        while (i < rest.size() && !isBlank(static_cast<unsigned char>(rest[i]))) {
            ++i;
        }
        words[count++] = rest.substr(start, i - start);
    }
    if (count == 2) {
        return words[1];
    }
    if (count == 1) {
        return words[0];
    }
    return {};
}

std::string_view groupNameFromLine(std::string_view rest) {
    if (!rest.empty() && rest.back() == '\n') {
        rest.remove_suffix(1);
        if (!rest.empty() && rest.back() == '\r') {
            rest.remove_suffix(1);
        }
    }
    return untilNul(rest);
}

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Freed big arrays wait here for the next one. A process that reads model after model (a
// tool, the benchmark) would otherwise get every array as fresh pages, which the kernel maps
// one fault at a time and clears: as costly as parsing the file. Eight blocks cover what a
// read and its normals use; beyond that the smallest goes back. Kept blocks stay reachable,
// so leak checkers pass over them.
struct Spares {
    std::mutex lock;
    void* blocks[8] = {};
    std::size_t sizes[8] = {};
} spares;

void* takeSpare(std::size_t bytes) {
    std::lock_guard<std::mutex> hold(spares.lock);
    int best = -1;
    for (int i = 0; i < 8; ++i) {
        if (spares.blocks[i] != nullptr && spares.sizes[i] >= bytes &&
            (best < 0 || spares.sizes[i] < spares.sizes[best])) {
            best = i;
        }
    }
    void* block = best < 0 ? nullptr : spares.blocks[best];
    if (best >= 0) {
        spares.blocks[best] = nullptr;
    }
    return block;
}

void* allocate(std::size_t count, std::size_t size, const char* who, bool clear) {
    if (size != 0 && count > std::numeric_limits<std::size_t>::max() / size) {
        fatal(GlmStream::Err, std::string(who) + " failed: out of memory.\n");
    }
    std::size_t bytes = count * size;
    void* memory = nullptr;
    if (bytes >= kHugePage) {
        // Big arrays (a million triangles is 40 MB) are written once, front to back; on 4 KiB
        // pages the first touch of each page costs more than the parsing. Huge pages, where the
        // system grants them on request, cut those faults 512-fold. release() or free() ends it.
        std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        memory = takeSpare(bytes);
        if (memory == nullptr) {
            memory = std::aligned_alloc(kHugePage, rounded);
            if (memory != nullptr) {
                ::madvise(memory, rounded, MADV_HUGEPAGE);
            }
        }
        if (memory != nullptr && clear) {
            std::memset(memory, 0, bytes);
        }
    } else if (clear) {
        memory = std::calloc(bytes == 0 ? 1 : count, bytes == 0 ? 1 : size);
    } else {
        memory = std::malloc(bytes == 0 ? 1 : bytes);
    }
    if (memory == nullptr) {
        fatal(GlmStream::Err,
              std::string(who) + " failed: out of memory (" + std::to_string(bytes) + " bytes).\n");
    }
    return memory;
}
} // namespace

void release(void* array) {
    std::size_t size = array == nullptr ? 0 : ::malloc_usable_size(array);
    if (size >= kHugePage) {
        std::lock_guard<std::mutex> hold(spares.lock);
        int slot = 0; // an empty one, else the smallest
        for (int i = 1; i < 8; ++i) {
            if (spares.blocks[slot] != nullptr &&
                (spares.blocks[i] == nullptr || spares.sizes[i] < spares.sizes[slot])) {
                slot = i;
            }
        }
        if (spares.blocks[slot] == nullptr || spares.sizes[slot] < size) {
            std::swap(array, spares.blocks[slot]);
            spares.sizes[slot] = size;
        }
    }
    std::free(array);
}

void* checkedCalloc(std::size_t count, std::size_t size, const char* who) {
    return allocate(count, size, who, true);
}

void* checkedMalloc(std::size_t count, std::size_t size, const char* who) {
    return allocate(count, size, who, false);
}

char* copyString(std::string_view text, const char* who) {
    char* copy = static_cast<char*>(checkedCalloc(text.size() + 1, 1, who));
    if (!text.empty()) {
        std::memcpy(copy, text.data(), text.size());
    }
    return copy;
}

namespace {
// The length of the valid UTF-8 sequence at p, 0 when there is none.
std::size_t utf8Length(const unsigned char* p, std::size_t left) {
    // Lead bytes C2-DF, E0-EF and F0-F4; C0, C1 and F5-FF begin nothing.
    const std::size_t n = p[0] < 0xC2 ? 0 : p[0] < 0xE0 ? 2 : p[0] < 0xF0 ? 3 : p[0] < 0xF5 ? 4 : 0;
    if (n == 0 || n > left) {
        return 0;
    }
    for (std::size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
    }
    const bool overlong =
        (n == 3 && p[0] == 0xE0 && p[1] < 0xA0) || (n == 4 && p[0] == 0xF0 && p[1] < 0x90);
    const bool outside =
        (n == 3 && p[0] == 0xED && p[1] >= 0xA0) || (n == 4 && p[0] == 0xF4 && p[1] >= 0x90);
    return overlong || outside ? 0 : n;
}
} // namespace

// Control bytes and bytes that are not UTF-8 would reach a terminal raw: they come out as \xNN.
std::string cText(std::string_view text) {
    text = untilNul(text);
    std::string out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        if (p[i] >= 0x20 && p[i] < 0x7F) {
            out += static_cast<char>(p[i++]);
        } else if (std::size_t n = p[i] >= 0x80 ? utf8Length(p + i, text.size() - i) : 0; n != 0) {
            out.append(text.data() + i, n);
            i += n;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", p[i++]);
            out += escaped;
        }
    }
    return out;
}

void fatal(GlmStream stream, const std::string& message) {
    throw GlmFatalError(stream, message);
}

} // namespace glm_detail
