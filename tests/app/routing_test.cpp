// The shell's queue, focus and input routing, message by message, on the null platform.
#include "shell_harness.h"

#include "app/about_panel.h"

using Messages = std::vector<std::string>;

TEST_F(ShellTest, TheQuitRequestComesAfterEverythingQueuedAndOnlyOnce) {
    open();
    shellPost(Target::Main, Event{EventType::KeyDown, 'A'});
    shellPostQuit(4);
    shellPost(Target::Main, Event{EventType::KeyUp, 'A'});
    EXPECT_EQ(drain(), (Messages{"Main KeyDown 65", "Main KeyUp 65", "None Quit 4"}));
    EXPECT_EQ(drain(), Messages{});
}

TEST_F(ShellTest, TranslatingAKeyPressQueuesTheCharacterItTypesNext) {
    const struct {
        EventType type;
        int key;
        bool shift;
        int character; // 0: none
    } cases[] = {
        {EventType::KeyDown, 'C', false, 'c'},    {EventType::KeyDown, 'P', true, 'P'},
        {EventType::KeyDown, '5', false, '5'},    {EventType::KeyDown, VK_NUMPAD0 + 9, false, '9'},
        {EventType::KeyDown, VK_ADD, false, '+'}, {EventType::KeyDown, VK_ESCAPE, false, 27},
        {EventType::KeyDown, VK_F1, false, 0},    {EventType::KeyDown, VK_UP, false, 0},
        {EventType::KeyUp, 'C', false, 0},
    };
    open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        shellPostInput(Event{EventType::KeyDown, VK_SHIFT});
        if (!c.shift) {
            shellPostInput(Event{EventType::KeyUp, VK_SHIFT});
        }
        shell.queue.clear();
        shellPost(Target::Main, Event{EventType::MouseMove, 1, 2});
        shellTranslateMessage(Message{Target::Main, Event{c.type, c.key}});
        Messages expected{"Main MouseMove 1 2"};
        if (c.character != 0) {
            expected.insert(expected.begin(), "Main Char " + std::to_string(c.character));
        }
        EXPECT_EQ(drain(), expected);
    }
}

TEST_F(ShellTest, KeysGoToTheFocusAndNowhereWithoutOne) {
    open();
    shellPostInput(Event{EventType::KeyDown, 'W'});
    showAboutPanel();
    shellPostInput(Event{EventType::KeyDown, 'X'});
    shellSetFocus(Target::None);
    shellPostInput(Event{EventType::KeyDown, 'Y'});
    EXPECT_EQ(drain(), (Messages{"Main KeyDown 87", "Panel KeyDown 88"}));
}

TEST_F(ShellTest, MouseMessagesGoToTheTopmostWindowUnderTheCursor) {
    open();
    // The panel over the left of the status strip.
    showAboutPanel();
    shell.aboutRect = Rect{0, 300, 200, 100};
    const struct {
        bool panelVisible;
        int x, y;
        const char* target;
    } cases[] = {
        {true, 10, 390, "Panel"},  {true, 500, 390, "StatusBar"}, {true, 500, 100, "Main"},
        {true, 199, 300, "Panel"}, {true, 200, 350, "Main"},      {false, 10, 390, "StatusBar"},
        {false, 10, 350, "Main"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        shell.aboutVisible = c.panelVisible;
        shellPostInput(Event{EventType::MouseMove, c.x, c.y});
        Messages all = drain();
        ASSERT_FALSE(all.empty());
        EXPECT_EQ(all.back(), std::string(c.target) + " MouseMove " + std::to_string(c.x) + " " +
                                  std::to_string(c.y));
    }
}

TEST_F(ShellTest, AClickGivesTheKeysAndAHeldButtonKeepsTheMouseWhereItWentDown) {
    const struct {
        int downX, downY;
        int dragX, dragY;
        const char* held;
        Target focus;
        const char* afterwards;
    } cases[] = {
        {600, 100, 100, 395, "Main", Target::Main, "StatusBar"},
        {600, 390, 600, 100, "StatusBar", Target::Main, "Main"},
        {100, 100, 600, 100, "Panel", Target::Panel, "Main"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.held);
        TearDown();
        SetUp();
        open();
        showAboutPanel();
        shellSetFocus(Target::None);
        const std::string held = std::string(c.held) + " ";
        const std::string drag = std::to_string(c.dragX) + " " + std::to_string(c.dragY);
        shellPostInput(Event{EventType::ButtonDown, c.downX, c.downY, 0});
        EXPECT_EQ(shell.focus, c.focus);
        drain();
        shellPostInput(Event{EventType::MouseMove, c.dragX, c.dragY});
        shellPostInput(Event{EventType::ButtonUp, c.dragX, c.dragY, 0});
        EXPECT_EQ(drain(),
                  (Messages{held + "MouseMove " + drag, held + "ButtonUp " + drag + " 0"}));
        shellPostInput(Event{EventType::MouseMove, c.dragX, c.dragY});
        Messages after = drain();
        ASSERT_FALSE(after.empty());
        EXPECT_EQ(after.back(), std::string(c.afterwards) + " MouseMove " + drag);
    }
}

TEST_F(ShellTest, NativeSizeChangesArriveOnceEach) {
    open();
    for (auto [w, h] : {std::pair{800, 400}, {640, 400}, {640, 480}, {640, 480}, {0, 0}}) {
        nullPlatform().events.push_back(Event{EventType::Resized, w, h});
    }
    EXPECT_EQ(drain(),
              (Messages{"Main Resized 640 400", "Main Resized 640 480", "Main Resized 0 0"}));
    // Minimised, the window keeps its size; restored, that size is news again.
    EXPECT_EQ(shell.clientWidth, 640);
    EXPECT_EQ(shell.clientHeight, 480);
    nullPlatform().events.push_back(Event{EventType::Resized, 640, 480});
    EXPECT_EQ(drain(), (Messages{"Main Resized 640 480"}));
}

TEST_F(ShellTest, LosingTheApplicationFocusTakesTheKeyboardAndRegainingGivesItBack) {
    // Focus before, what happens while inactive, focus after. A panel hidden while inactive
    // cannot take the keys back, and a click while inactive is not overridden.
    const struct {
        Target before;
        const char* meanwhile;
        Target after;
    } cases[] = {
        {Target::Main, "", Target::Main},
        {Target::Panel, "", Target::Panel},
        {Target::Panel, "hide panel", Target::Main},
        {Target::Panel, "click main", Target::Main},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.meanwhile) + " from " + std::to_string(int(c.before)));
        TearDown();
        SetUp();
        open();
        shell.keyTable[VK_UP] = true;
        if (c.before == Target::Panel) {
            showAboutPanel();
        }
        nullPlatform().events.push_back(Event{EventType::FocusLost});
        nullPlatform().events.push_back(Event{EventType::KeyDown, 'Z'});
        EXPECT_EQ(drain(), Messages{});
        EXPECT_EQ(shell.focus, Target::None);
        EXPECT_FALSE(shell.keyTable[VK_UP]);
        if (std::string(c.meanwhile) == "hide panel") {
            endAboutPanel(0);
        } else if (std::string(c.meanwhile) == "click main") {
            shellPostInput(Event{EventType::ButtonDown, 600, 100, 0});
            shellPostInput(Event{EventType::ButtonUp, 600, 100, 0});
            drain();
        }
        nullPlatform().events.push_back(Event{EventType::FocusGained});
        nullPlatform().events.push_back(Event{EventType::KeyDown, 'Z'});
        EXPECT_EQ(drain(), (Messages{describe(Message{c.after, Event{EventType::KeyDown, 'Z'}})}));
        EXPECT_EQ(shell.focus, c.after);
    }
}

TEST_F(ShellTest, AButtonOtherThanLeftRightOrMiddleIsDroppedNotIndexed) {
    open();
    for (int button : {-1, 3, 31, 1000}) {
        shellPostInput(Event{EventType::ButtonDown, 600, 100, button});
        shellPostInput(Event{EventType::ButtonUp, 600, 100, button});
    }
    EXPECT_EQ(drain(), Messages{});
    EXPECT_EQ(shell.capture, Target::None);
    EXPECT_EQ(shell.buttonsDown, 0u);
}
