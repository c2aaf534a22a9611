// SDL key codes to virtual-key codes: Escape 27, F1..F12 112..123, arrows 37..40 (left, up,
// right, down), keypad plus 107 and minus 109, letters and digits their upper-case ASCII codes,
// the other keys of a PC keyboard their customary codes below 256. 0 for keys with no code.
#pragma once

#include <cstdint>

int platformVirtualKeyFromSdl(std::int32_t sdlKeycode);
