// The SDL platform: SDL's events as its own on the offscreen driver (the keys with their codes,
// the mouse, the window's size, close and focus, the wheel, dropped files and exposures when
// asked for, and what the shell never hears of), and BMP pictures: the committed icon and its
// generator, and bytes that are not a whole BMP.
#include "platform/platform.h"
#include "tools/icongen/icon_image.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The platform's one window, on the offscreen display opened for the whole program, in the
// viewer's format.
Uint32 window() {
    static const Uint32 id = [] {
        std::string reason;
        const bool open = platformOpenDisplay(&reason, true) && platformChooseFormat(32, 24) &&
                          platformCreateWindow("events", 320, 200, nullptr) &&
                          platformCreateContext() && platformMakeCurrent(true);
        return open ? SDL_GetWindowID(SDL_GL_GetCurrentWindow()) : Uint32{0};
    }();
    return id;
}

// An SDL event for the window; CODE is the key, the button or the window event.
SDL_Event sdl(Uint32 type, int code = 0, int x = 0, int y = 0) {
    SDL_Event e{type};
    e.window.windowID = window(); // where every event bound to a window keeps it
    if (type == SDL_KEYDOWN || type == SDL_KEYUP) {
        e.key.keysym.sym = code;
    } else if (type == SDL_MOUSEMOTION) {
        e.motion.x = x;
        e.motion.y = y;
    } else if (type == SDL_MOUSEBUTTONDOWN) {
        e.button.button = static_cast<Uint8>(code);
        e.button.x = x;
        e.button.y = y;
    } else {
        e.window.event = static_cast<Uint8>(code);
        e.window.data1 = x;
        e.window.data2 = y;
    }
    return e;
}

// What the platform reports for the events, as "KeyDown 65 0 0; ...".
std::string translated(std::initializer_list<SDL_Event> events) {
    static const char* const types[] = {
        "KeyDown", "KeyUp",       "Char",      "Move", "Leave", "ButtonDown", "ButtonUp", "Resized",
        "Close",   "FocusGained", "FocusLost", "Quit", "Wheel", "Dropped",    "Exposed"};
    for (Event e{EventType::Quit}; platformPollEvent(&e);) {
    }
    for (SDL_Event e : events) {
        SDL_PushEvent(&e);
    }
    std::string out;
    for (Event e{EventType::Quit}; platformPollEvent(&e);) {
        out += std::string(out.empty() ? "" : "; ") + types[static_cast<int>(e.type)] + " " +
               std::to_string(e.a) + " " + std::to_string(e.b) + " " + std::to_string(e.c);
    }
    return out;
}

} // namespace

// The context is made in the format asked for: all 24 depth bits, not the 16 of SDL's default.
TEST(PlatformWindow, TheContextHasTheDepthAskedFor) {
    ASSERT_NE(window(), 0u);
    int depth = 0;
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
    EXPECT_GE(depth, 24);
}

TEST(PlatformEvents, KeysArriveWithTheirCodesAndKeysWithoutOneNotAtAll) {
    ASSERT_NE(window(), 0u) << "no offscreen window";
    // clang-format off
    const std::pair<SDL_Keycode, int> keys[] = {
        {SDLK_ESCAPE, 27},    {SDLK_F1, 112},    {SDLK_F12, 123},     {SDLK_a, 'A'},
        {SDLK_z, 'Z'},        {SDLK_0, '0'},     {SDLK_9, '9'},       {SDLK_LEFT, 37},
        {SDLK_UP, 38},        {SDLK_RIGHT, 39},  {SDLK_DOWN, 40},     {SDLK_KP_PLUS, 107},
        {SDLK_KP_MINUS, 109}, {SDLK_KP_0, 96},   {SDLK_KP_9, 105},    {SDLK_SPACE, 32},
        {SDLK_LSHIFT, 16},    {SDLK_RSHIFT, 16}, {SDLK_KP_ENTER, 13}, {SDLK_QUOTE, 222},
        {SDLK_AUDIOPLAY, 0},  {SDLK_UNKNOWN, 0},
        // Scripts name keys by these codes: the rest of the table, as Windows numbers them.
        {SDLK_BACKSPACE, 8}, {SDLK_TAB, 9}, {SDLK_RETURN, 13}, {SDLK_LCTRL, 17}, {SDLK_RCTRL, 17},
        {SDLK_LALT, 18}, {SDLK_RALT, 18}, {SDLK_PAUSE, 19}, {SDLK_CAPSLOCK, 20}, {SDLK_PAGEUP, 33},
        {SDLK_PAGEDOWN, 34}, {SDLK_END, 35}, {SDLK_HOME, 36}, {SDLK_PRINTSCREEN, 44},
        {SDLK_INSERT, 45}, {SDLK_DELETE, 46}, {SDLK_LGUI, 91}, {SDLK_RGUI, 92},
        {SDLK_APPLICATION, 93}, {SDLK_KP_MULTIPLY, 106}, {SDLK_KP_PERIOD, 110},
        {SDLK_KP_DIVIDE, 111}, {SDLK_F11, 122}, {SDLK_NUMLOCKCLEAR, 144}, {SDLK_SCROLLLOCK, 145},
        {SDLK_SEMICOLON, 186}, {SDLK_EQUALS, 187}, {SDLK_COMMA, 188}, {SDLK_MINUS, 189},
        {SDLK_PERIOD, 190}, {SDLK_SLASH, 191}, {SDLK_BACKQUOTE, 192}, {SDLK_LEFTBRACKET, 219},
        {SDLK_BACKSLASH, 220}, {SDLK_RIGHTBRACKET, 221},
    };
    // clang-format on
    for (auto [key, code] : keys) {
        const std::string c = std::to_string(code);
        EXPECT_EQ(translated({sdl(SDL_KEYDOWN, key), sdl(SDL_KEYUP, key)}),
                  code == 0 ? "" : "KeyDown " + c + " 0 0; KeyUp " + c + " 0 0")
            << SDL_GetKeyName(key);
    }
}

TEST(PlatformEvents, MouseWindowAndSessionEventsBecomeTheShellsOwn) {
    ASSERT_NE(window(), 0u) << "no offscreen window";
    EXPECT_EQ(
        translated({sdl(SDL_MOUSEMOTION, 0, -12, 34),
                    sdl(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 5, 6),
                    sdl(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 7, 8),
                    sdl(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 5, 6), // no such button for us
                    sdl(SDL_WINDOWEVENT, SDL_WINDOWEVENT_SIZE_CHANGED, 500, 300),
                    sdl(SDL_WINDOWEVENT, SDL_WINDOWEVENT_MINIMIZED),
                    sdl(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE),
                    sdl(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST),
                    sdl(SDL_WINDOWEVENT, SDL_WINDOWEVENT_LEAVE),
                    sdl(SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED), sdl(SDL_QUIT)}),
        "Move -12 34 0; ButtonDown 5 6 1; ButtonDown 7 8 0; Resized 500 300 0; Resized 0 0 0; "
        "Close 0 0 0; FocusLost 0 0 0; Leave 0 0 0; Close 0 0 0");
}

// The viewer asks for them; the demo's loop, which spends a turn on every event, never sees them.
TEST(PlatformEvents, TheWheelDroppedFilesAndExposuresOnlyWhenAskedFor) {
    ASSERT_NE(window(), 0u) << "no offscreen window";
    auto extra = [] {
        SDL_Event wheel = sdl(SDL_MOUSEWHEEL);
        wheel.wheel.y = -2;
        wheel.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        SDL_Event flipped = wheel;
        flipped.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
        SDL_Event drop{SDL_DROPFILE};
        drop.drop.file = SDL_strdup("/tmp/my models/a b.obj"); // the platform's to free
        drop.drop.windowID = window();
        return translated({wheel, flipped, drop, sdl(SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED)});
    };
    EXPECT_EQ(extra(), "");
    EXPECT_EQ(platformDroppedFile(), "");
    platformReportExtraEvents(true);
    EXPECT_EQ(extra(), "Wheel -2 0 0; Wheel 2 0 0; Dropped 0 0 0; Exposed 0 0 0");
    EXPECT_EQ(platformDroppedFile(), "/tmp/my models/a b.obj");
    platformReportExtraEvents(false);
}

using Bytes = std::vector<std::uint8_t>;

TEST(Pictures, TheCommittedIconIsWhatTheGeneratorWritesABallInThreeBandsOnBlack) {
    const Bytes bytes = makeIconBmp();
    std::ifstream file(VELMORA_SOURCE_DIR "/res/icon.bmp", std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(file), {}), bytes);
    Image icon;
    std::string error;
    ASSERT_TRUE(platformDecodeBmp(bytes.data(), bytes.size(), &icon, &error)) << error;
    ASSERT_EQ(std::tuple(icon.width, icon.height, icon.rgba.size()), std::tuple(32, 32, 4096u));
    // x, y, then the colour: black corners, yellow, bright green, dark green bands.
    const Bytes pixels[] = {
        {0, 0, 0, 0, 0},     {31, 31, 0, 0, 0},   {11, 11, 255, 255, 0},
        {22, 12, 0, 255, 0}, {22, 24, 0, 128, 0},
    };
    for (const Bytes& p : pixels) {
        auto at = icon.rgba.begin() + (p[1] * 32 + p[0]) * 4;
        EXPECT_EQ(Bytes(at, at + 4), (Bytes{p[2], p[3], p[4], 255})) << +p[0] << ", " << +p[1];
    }
}

TEST(Pictures, BytesThatAreNotAWholeBmpAreRefusedWithAReason) {
    const Bytes icon = makeIconBmp();
    Bytes huge = icon;
    huge[18] = huge[19] = huge[20] = 0xFF; // a width no file of this size can hold
    huge[21] = 0x7F;
    // The bytes, and the reason given (empty: any).
    std::vector<std::pair<Bytes, std::string>> cases = {
        {{'B', 'A', 'D', ' ', 'B', 'M', 'P'}, "not a BMP file (no \"BM\" signature)"},
        {{}, "empty file"},
        {huge, ""}};
    for (int keep : {2, 14, 60, 117, 200}) {
        cases.emplace_back(Bytes(icon.begin(), icon.begin() + keep), "");
    }
    for (const auto& [bytes, reason] : cases) {
        Image image;
        std::string error;
        EXPECT_FALSE(
            platformDecodeBmp(bytes.empty() ? nullptr : bytes.data(), bytes.size(), &image, &error))
            << bytes.size() << " bytes";
        EXPECT_TRUE(reason.empty() ? !error.empty() : error == reason)
            << bytes.size() << " bytes: \"" << error << "\", expected "
            << (reason.empty() ? "a reason" : reason);
        // Bytes that start with the signature, however few, are not said to lack it.
        if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
            EXPECT_EQ(error.find("signature"), std::string::npos) << bytes.size() << " bytes";
        }
    }
}
