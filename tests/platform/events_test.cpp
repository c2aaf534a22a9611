// SDL's events as the platform's own, on the offscreen driver: the keys with their codes, the
// mouse, the window's size, close and focus, and what the shell never hears of.
#include "platform/platform.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

class PlatformEvents : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        std::string reason;
        ready = platformOpenDisplay(&reason) && platformChooseFormat(16, 16) &&
                platformCreateWindow("events", 320, 200, nullptr);
    }
    static void TearDownTestSuite() { platformCloseDisplay(); }
    void SetUp() override {
        if (!ready) {
            GTEST_SKIP() << "no offscreen display";
        }
        for (Event e; platformPollEvent(&e);) {
        }
        window = SDL_GetWindowID(SDL_GL_GetCurrentWindow());
        for (Uint32 id = 1; id < 64 && window == 0; ++id) {
            SDL_Window* w = SDL_GetWindowFromID(id);
            window = w != nullptr && SDL_strcmp(SDL_GetWindowTitle(w), "events") == 0 ? id : 0;
        }
    }

    void key(Uint32 type, SDL_Keycode code) {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = window;
        e.key.keysym.sym = code;
        SDL_PushEvent(&e);
    }
    void windowEvent(Uint8 event, int data1 = 0, int data2 = 0) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = window;
        e.window.event = event;
        e.window.data1 = data1;
        e.window.data2 = data2;
        SDL_PushEvent(&e);
    }
    std::vector<Event> drain() {
        std::vector<Event> out;
        for (Event e; platformPollEvent(&e);) {
            out.push_back(e);
        }
        return out;
    }

    static inline bool ready = false;
    Uint32 window = 0;
};

} // namespace

TEST_F(PlatformEvents, KeysArriveWithTheirCodesAndKeysWithoutOneNotAtAll) {
    const struct {
        SDL_Keycode sdl;
        int code;
    } keys[] = {
        {SDLK_ESCAPE, 27},    {SDLK_F1, 112},    {SDLK_F12, 123},     {SDLK_a, 'A'},
        {SDLK_z, 'Z'},        {SDLK_0, '0'},     {SDLK_9, '9'},       {SDLK_LEFT, 37},
        {SDLK_UP, 38},        {SDLK_RIGHT, 39},  {SDLK_DOWN, 40},     {SDLK_KP_PLUS, 107},
        {SDLK_KP_MINUS, 109}, {SDLK_KP_0, 96},   {SDLK_KP_9, 105},    {SDLK_SPACE, 32},
        {SDLK_LSHIFT, 16},    {SDLK_RSHIFT, 16}, {SDLK_KP_ENTER, 13}, {SDLK_QUOTE, 222},
        {SDLK_AUDIOPLAY, 0},  {SDLK_UNKNOWN, 0},
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(SDL_GetKeyName(k.sdl));
        key(SDL_KEYDOWN, k.sdl);
        key(SDL_KEYUP, k.sdl);
        std::vector<Event> got = drain();
        if (k.code == 0) {
            EXPECT_TRUE(got.empty());
            continue;
        }
        ASSERT_EQ(got.size(), 2u);
        EXPECT_EQ(got[0].type, EventType::KeyDown);
        EXPECT_EQ(got[0].a, k.code);
        EXPECT_EQ(got[1].type, EventType::KeyUp);
        EXPECT_EQ(got[1].a, k.code);
    }
}

TEST_F(PlatformEvents, MouseWindowAndSessionEventsBecomeTheShellsOwn) {
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = window;
    motion.motion.x = -12;
    motion.motion.y = 34;
    SDL_PushEvent(&motion);
    SDL_Event button{};
    button.type = SDL_MOUSEBUTTONDOWN;
    button.button.windowID = window;
    button.button.button = SDL_BUTTON_RIGHT;
    button.button.x = 5;
    button.button.y = 6;
    SDL_PushEvent(&button);
    button.button.button = SDL_BUTTON_X1; // no such button for the shell
    SDL_PushEvent(&button);
    windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 500, 300);
    windowEvent(SDL_WINDOWEVENT_MINIMIZED);
    windowEvent(SDL_WINDOWEVENT_CLOSE);
    windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    windowEvent(SDL_WINDOWEVENT_LEAVE);
    windowEvent(SDL_WINDOWEVENT_EXPOSED); // nothing for the shell
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);

    const std::vector<Event> expected = {
        {EventType::MouseMove, -12, 34},
        {EventType::ButtonDown, 5, 6, 1},
        {EventType::Resized, 500, 300},
        {EventType::Resized, 0, 0},
        {EventType::Close},
        {EventType::FocusLost},
        {EventType::MouseLeave},
        {EventType::Close},
    };
    std::vector<Event> got = drain();
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].type, expected[i].type);
        EXPECT_EQ(got[i].a, expected[i].a);
        EXPECT_EQ(got[i].b, expected[i].b);
        EXPECT_EQ(got[i].c, expected[i].c);
    }
}
