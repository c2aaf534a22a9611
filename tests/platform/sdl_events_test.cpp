// SDL's events as the platform's messages, on the offscreen driver.
#include "platform/window.h"
#include "platform/window_system.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

LResult quietProc(WindowHandle, std::uint32_t, WParam, LParam) {
    return 0;
}

class SdlEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        platformResetWindowState();
        platformSetWindowSystem(nullptr);
        WindowClass windowClass{"sdltest", quietProc, nullptr};
        ASSERT_TRUE(platformRegisterClass(&windowClass));
        main = platformCreateWindow("sdltest", "events", 320, 200);
        ASSERT_NE(main, nullptr);
        platformSetFocus(main);
        for (Uint32 id = 1; id < 64 && sdlWindow == nullptr; ++id) {
            SDL_Window* w = SDL_GetWindowFromID(id);
            if (w != nullptr && SDL_strcmp(SDL_GetWindowTitle(w), "events") == 0) {
                sdlWindow = w;
            }
        }
        ASSERT_NE(sdlWindow, nullptr);
        Message m{};
        while (platformPeekMessage(&m, true)) {
        }
    }
    void TearDown() override {
        platformDestroyWindow(main);
        platformUnregisterClass("sdltest");
        platformResetWindowState();
    }

    void pushKey(Uint32 type, SDL_Keycode key, Uint8 repeat = 0) {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = SDL_GetWindowID(sdlWindow);
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat;
        e.key.keysym.sym = key;
        e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        SDL_PushEvent(&e);
    }

    void pushWindowEvent(Uint8 event, int data1 = 0, int data2 = 0) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = SDL_GetWindowID(sdlWindow);
        e.window.event = event;
        e.window.data1 = data1;
        e.window.data2 = data2;
        SDL_PushEvent(&e);
    }

    std::vector<Message> drain() {
        std::vector<Message> out;
        Message m{};
        while (platformPeekMessage(&m, true)) {
            out.push_back(m);
        }
        return out;
    }

    WindowHandle main = nullptr;
    SDL_Window* sdlWindow = nullptr;
};

} // namespace

TEST_F(SdlEvents, KeysBecomeKeyMessagesWithVirtualKeyCodes) {
    pushKey(SDL_KEYDOWN, SDLK_F1);
    pushKey(SDL_KEYDOWN, SDLK_F1, 1);
    pushKey(SDL_KEYUP, SDLK_F1);
    pushKey(SDL_KEYDOWN, SDLK_KP_PLUS);
    pushKey(SDL_KEYDOWN, SDLK_AUDIOPLAY); // no code: no message
    std::vector<Message> all = drain();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].message, WM_KEYDOWN);
    EXPECT_EQ(all[0].wParam, 112u);
    EXPECT_EQ(all[0].window, main);
    EXPECT_EQ(all[0].lParam & 0xC0000000, 0);
    EXPECT_EQ(all[1].lParam & 0x40000000, 0x40000000); // a repeat
    EXPECT_EQ(all[2].message, WM_KEYUP);
    EXPECT_EQ(static_cast<std::uint32_t>(all[2].lParam) & 0xC0000000u, 0xC0000000u);
    EXPECT_EQ(all[3].wParam, 107u);
}

TEST_F(SdlEvents, TheMouseBecomesMouseMessagesInClientCoordinates) {
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = SDL_GetWindowID(sdlWindow);
    motion.motion.x = 12;
    motion.motion.y = 34;
    SDL_PushEvent(&motion);
    SDL_Event button{};
    button.type = SDL_MOUSEBUTTONDOWN;
    button.button.windowID = SDL_GetWindowID(sdlWindow);
    button.button.button = SDL_BUTTON_RIGHT;
    button.button.x = 12;
    button.button.y = 34;
    SDL_PushEvent(&button);
    std::vector<Message> all = drain();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(xFromLParam(all[0].lParam), 12);
    EXPECT_EQ(yFromLParam(all[0].lParam), 34);
    EXPECT_EQ(all[1].message, WM_RBUTTONDOWN);
}

TEST_F(SdlEvents, TheCloseBoxAndAnInterruptBothAskToClose) {
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    std::vector<Message> all = drain();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].message, WM_CLOSE);
    EXPECT_EQ(all[0].window, main);
    EXPECT_EQ(all[1].message, WM_CLOSE);
}

TEST_F(SdlEvents, SizeChangesBecomeOneSizeMessageEach) {
    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 320, 200); // unchanged
    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 500, 300);
    pushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    std::vector<Message> all = drain();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].message, WM_SIZE);
    EXPECT_EQ(loWord(static_cast<WParam>(all[0].lParam)), 500);
    EXPECT_EQ(hiWord(static_cast<WParam>(all[0].lParam)), 300);
    EXPECT_EQ(all[1].wParam, SIZE_MINIMIZED);
    EXPECT_EQ(all[1].lParam, 0);
}

TEST_F(SdlEvents, TheCursorLeavingTheWindowIsALeaveMessage) {
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = SDL_GetWindowID(sdlWindow);
    motion.motion.x = 5;
    motion.motion.y = 5;
    SDL_PushEvent(&motion);
    pushWindowEvent(SDL_WINDOWEVENT_LEAVE);
    std::vector<Message> all = drain();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].message, WM_MOUSELEAVE);
}
