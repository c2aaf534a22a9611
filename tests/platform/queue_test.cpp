// The platform's own queue, focus and input routing, on the null window system.
#include "platform/null_system.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Received {
    WindowHandle window;
    std::uint32_t message;
    WParam wParam;
};

std::vector<Received> received;

LResult recordingProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam) {
    received.push_back(Received{window, message, wParam});
    return 0;
}

class QueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        installNullSystem();
        received.clear();
        WindowClass windowClass{"test", recordingProc, nullptr};
        ASSERT_TRUE(platformRegisterClass(&windowClass));
        main = platformCreateWindow("test", "t", 800, 400);
        ASSERT_NE(main, nullptr);
        platformSetFocus(main);
        received.clear();
    }
    void TearDown() override { uninstallNullSystem(); }

    std::vector<Message> drain() {
        std::vector<Message> out;
        Message m{};
        while (platformPeekMessage(&m, true)) {
            out.push_back(m);
            if (m.message == WM_QUIT) {
                break;
            }
        }
        return out;
    }

    WindowHandle main = nullptr;
};

} // namespace

TEST_F(QueueTest, PeekWithoutRemovingLeavesTheMessage) {
    Message m{};
    EXPECT_FALSE(platformPeekMessage(&m, true));
    platformPostMessage(main, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(platformPeekMessage(&m, false));
    EXPECT_TRUE(platformPeekMessage(&m, true));
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.window, main);
    EXPECT_FALSE(platformPeekMessage(&m, true));
}

TEST_F(QueueTest, TheQuitMessageComesAfterEverythingQueuedAndOnlyOnce) {
    platformPostMessage(main, WM_KEYDOWN, 'A', 0);
    platformPostQuitMessage(4);
    platformPostMessage(main, WM_KEYUP, 'A', 0);
    std::vector<Message> all = drain();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].message, WM_KEYDOWN);
    EXPECT_EQ(all[1].message, WM_KEYUP);
    EXPECT_EQ(all[2].message, WM_QUIT);
    EXPECT_EQ(all[2].wParam, 4u);
    EXPECT_EQ(all[2].window, nullptr);
    Message m{};
    EXPECT_FALSE(platformPeekMessage(&m, true));
}

TEST_F(QueueTest, TranslatingACharacterKeyQueuesItsCharacterNext) {
    platformPostMessage(main, WM_MOUSEMOVE, 0, 0);
    Message key{main, WM_KEYDOWN, 'C', 1};
    EXPECT_TRUE(platformTranslateMessage(&key));
    Message m{};
    ASSERT_TRUE(platformPeekMessage(&m, true));
    EXPECT_EQ(m.message, WM_CHAR);
    EXPECT_EQ(m.wParam, static_cast<WParam>('c'));
    Message f1{main, WM_KEYDOWN, VK_F1, 1};
    EXPECT_FALSE(platformTranslateMessage(&f1));
    Message up{main, WM_KEYUP, 'C', 1};
    EXPECT_FALSE(platformTranslateMessage(&up));
}

TEST_F(QueueTest, ShiftMakesCapitals) {
    platformPostInput(WM_KEYDOWN, VK_SHIFT, 1);
    Message key{main, WM_KEYDOWN, 'P', 1};
    platformTranslateMessage(&key);
    std::vector<Message> all = drain();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].wParam, static_cast<WParam>('P'));
}

TEST_F(QueueTest, DispatchCallsTheWindowsProcedureAndIgnoresThreadMessages) {
    Message m{main, WM_KEYDOWN, 38, 0};
    platformDispatchMessage(&m);
    Message thread{nullptr, WM_KEYDOWN, 38, 0};
    EXPECT_EQ(platformDispatchMessage(&thread), 0);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, WM_KEYDOWN);
    EXPECT_EQ(received[0].wParam, 38u);
}

TEST_F(QueueTest, AStaleHandleIsRefusedNotFollowed) {
    platformPostMessage(main, WM_KEYDOWN, 'A', 0);
    Message kept{main, WM_KEYDOWN, 'A', 0};
    ASSERT_TRUE(platformDestroyWindow(main));
    Message m{};
    EXPECT_FALSE(platformPeekMessage(&m, true)); // its queued message went with it
    received.clear();
    EXPECT_EQ(platformDispatchMessage(&kept), 0);
    EXPECT_FALSE(platformPostMessage(main, WM_KEYDOWN, 'A', 0));
    EXPECT_FALSE(platformDestroyWindow(main));
    EXPECT_TRUE(received.empty());
}

TEST_F(QueueTest, CreationAndFirstShowSendTheirMessagesAtOnce) {
    WindowHandle other = platformCreateWindow("test", "u", 320, 200);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received[0].message, WM_CREATE);
    received.clear();
    platformShowWindow(other, true);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, WM_SIZE);
    platformShowWindow(other, false);
    platformShowWindow(other, true);
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(QueueTest, KeysGoToTheFocusAndNowhereWithoutOne) {
    WindowHandle dialog = platformCreateDialog(main, recordingProc, 0, 0, 100, 100);
    platformShowWindow(dialog, true);
    EXPECT_EQ(platformGetFocus(), dialog);
    platformPostInput(WM_KEYDOWN, 'X', 1);
    platformSetFocus(nullptr);
    platformPostInput(WM_KEYDOWN, 'Y', 1);
    std::vector<Message> all = drain();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].window, dialog);
    EXPECT_EQ(all[0].wParam, static_cast<WParam>('X'));
}

TEST_F(QueueTest, MovingTheFocusTellsBothWindows) {
    WindowHandle dialog = platformCreateDialog(main, recordingProc, 0, 0, 100, 100);
    received.clear();
    platformShowWindow(dialog, true);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].window, main);
    EXPECT_EQ(received[0].message, WM_KILLFOCUS);
    EXPECT_EQ(received[1].window, dialog);
    EXPECT_EQ(received[1].message, WM_SETFOCUS);
    received.clear();
    platformEndDialog(dialog, 1);
    EXPECT_FALSE(platformIsWindowVisible(dialog));
    EXPECT_EQ(platformGetFocus(), main);
}

TEST_F(QueueTest, MouseMessagesGoToTheTopmostWindowUnderTheCursor) {
    WindowHandle status = platformCreateStatusWindow(main, 999);
    WindowHandle dialog = platformCreateDialog(main, recordingProc, 0, 300, 200, 100);
    platformShowWindow(dialog, true);
    platformPostInput(WM_MOUSEMOVE, 0, makeLParam(10, 390));  // dialog over the status strip
    platformPostInput(WM_MOUSEMOVE, 0, makeLParam(500, 390)); // status strip
    platformPostInput(WM_MOUSEMOVE, 0, makeLParam(500, 100)); // main
    std::vector<Message> all = drain();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].window, dialog);
    EXPECT_EQ(all[1].window, status);
    EXPECT_EQ(all[2].window, main);
    EXPECT_EQ(xFromLParam(all[1].lParam), 500);
}

TEST_F(QueueTest, AButtonHeldKeepsTheMouseWithTheWindowItWentDownIn) {
    platformPostInput(WM_LBUTTONDOWN, MK_LBUTTON, makeLParam(100, 100));
    platformPostInput(WM_MOUSEMOVE, MK_LBUTTON, makeLParam(100, 395));
    platformPostInput(WM_LBUTTONUP, 0, makeLParam(100, 395));
    WindowHandle status = platformCreateStatusWindow(main, 999);
    platformPostInput(WM_MOUSEMOVE, 0, makeLParam(100, 395));
    std::vector<Message> all = drain();
    ASSERT_GE(all.size(), 4u);
    EXPECT_EQ(all[1].window, main);
    EXPECT_EQ(all.back().window, status);
}

TEST_F(QueueTest, ALeaveComesWhenTheCursorLeavesTheMainWindowsOwnArea) {
    platformCreateStatusWindow(main, 999);
    platformPostInput(WM_MOUSEMOVE, 0, makeLParam(100, 100));
    platformPostInput(WM_MOUSEMOVE, 0, makeLParam(100, 395));
    platformPostInput(WM_MOUSEMOVE, 0, makeLParam(100, 396));
    std::vector<Message> all = drain();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[1].message, WM_MOUSELEAVE);
    EXPECT_EQ(all[1].window, main);
    EXPECT_EQ(all[2].message, WM_MOUSEMOVE);
}

TEST_F(QueueTest, NativeSizeChangesArriveOnceEach) {
    platformNativeResized(nullptr, 800, 400, SIZE_RESTORED); // the size it has
    platformNativeResized(nullptr, 640, 480, SIZE_RESTORED);
    platformNativeResized(nullptr, 640, 480, SIZE_RESTORED);
    platformNativeResized(nullptr, 0, 0, SIZE_MINIMIZED);
    std::vector<Message> all = drain();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(loWord(static_cast<WParam>(all[0].lParam)), 640);
    EXPECT_EQ(hiWord(static_cast<WParam>(all[0].lParam)), 480);
    EXPECT_EQ(all[1].wParam, SIZE_MINIMIZED);
    int w = 0;
    int h = 0;
    platformGetClientSize(main, &w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
}

TEST_F(QueueTest, LosingTheApplicationFocusTakesTheKeyboardAndRegainingGivesItBack) {
    platformSetForegroundWindow(main);
    platformNativeFocusChanged(nullptr, false);
    EXPECT_EQ(platformGetFocus(), nullptr);
    platformNativeFocusChanged(nullptr, true);
    EXPECT_EQ(platformGetFocus(), main);
}

TEST_F(QueueTest, MessageBoxesGoToTheSinkOrToStandardError) {
    std::vector<std::string> seen;
    platformSetMessageBoxSink(
        [](void* context, const char* caption, const char* text, MessageBoxIcon) {
            static_cast<std::vector<std::string>*>(context)->push_back(std::string(caption) + "|" +
                                                                       text);
        },
        &seen);
    platformMessageBox(nullptr, "Window Creation Error.", "ERROR", MessageBoxIcon::Exclamation);
    platformSetMessageBoxSink(nullptr, nullptr);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "ERROR|Window Creation Error.");
    ::testing::internal::CaptureStderr();
    platformMessageBox(nullptr, "Could Not Release hWnd.", "SHUTDOWN ERROR",
                       MessageBoxIcon::Information);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "SHUTDOWN ERROR: Could Not Release hWnd.\n");
}

TEST_F(QueueTest, APixelFormatRequestWithoutOpenGlIsRefused) {
    DeviceContext dc = platformGetDC(main);
    ASSERT_NE(dc, nullptr);
    PixelFormatRequest request{};
    request.size = sizeof request;
    request.version = 1;
    request.flags = PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER;
    request.colorBits = 16;
    EXPECT_EQ(platformChoosePixelFormat(dc, &request), 0);
    request.flags |= PFD_SUPPORT_OPENGL;
    EXPECT_EQ(platformChoosePixelFormat(dc, &request), 1);
    EXPECT_FALSE(platformSetPixelFormat(dc, 2, &request));
    EXPECT_TRUE(platformSetPixelFormat(dc, 1, &request));
    EXPECT_TRUE(platformReleaseDC(main, dc));
    EXPECT_FALSE(platformReleaseDC(main, dc));
}
