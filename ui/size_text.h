// Counts and sizes as the programs' command lines take them.
#pragma once

#include <string>

// first .. last is a decimal number from 1 to `limit` and nothing else (no sign, no spaces).
bool parseCount(const char* first, const char* last, int limit, int* value);

// "WxH": two such counts; the caller's error message says what its limit is.
bool parseSize(const std::string& text, int limit, int* width, int* height);
