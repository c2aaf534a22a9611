#include "ui/size_text.h"

#include <charconv>

bool parseCount(const char* first, const char* last, int limit, int* value) {
    auto [end, error] = std::from_chars(first, last, *value);
    return error == std::errc() && end == last && *value >= 1 && *value <= limit;
}

bool parseSize(const std::string& text, int limit, int* width, int* height) {
    const char* first = text.data();
    const std::size_t x = text.find('x');
    return x != std::string::npos && parseCount(first, first + x, limit, width) &&
           parseCount(first + x + 1, first + text.size(), limit, height);
}
