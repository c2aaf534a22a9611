// Runs the shell on the null window system: a scene that records what the shell calls, a
// message-box sink, and loop hooks that queue each turn's scripted messages and record state.
#pragma once

#include "app/main_loop.h"
#include "platform/null_system.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct BoxRecord {
    std::string caption;
    std::string text;
    MessageBoxIcon icon;
};

struct TurnRecord {
    std::int64_t turn;
    bool freeCamera;
    bool showPath;
    float speedDivisor;
    bool aboutVisible;
    bool aboutFocused;
    int aboutResult;
    std::string status[3];
};

// What the recording scene saw, in order: "init", "draw", "forward", "back", "left", "right",
// "mouse X Y", "leave".
extern std::vector<std::string> sceneLog;
extern bool sceneInitResult;

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

  public:
    // Queues input (keys to the focus, mouse to the window under the cursor) before a turn.
    void inputAt(std::int64_t turn, std::uint32_t message, WParam wParam, LParam lParam = 0);
    void keyDownAt(std::int64_t turn, int key) { inputAt(turn, WM_KEYDOWN, key, 1); }
    void keyUpAt(std::int64_t turn, int key) { inputAt(turn, WM_KEYUP, key, 0xC0000001); }
    // Posts to the main window before a turn.
    void postAt(std::int64_t turn, std::uint32_t message, WParam wParam, LParam lParam = 0);
    // Any action before a turn.
    void actAt(std::int64_t turn, std::function<void()> action);

    // appMain at 800 x 400 for at most `turns` turns; returns the exit code.
    int run(std::int64_t turns);
    int count(const std::string& entry) const;
    std::vector<std::string> sceneCallsBetween(std::int64_t firstTurn, std::int64_t lastTurn) const;

    std::vector<BoxRecord> boxes;
    std::vector<TurnRecord> turns;
    std::int64_t turnsRun = 0;
    std::map<std::int64_t, std::vector<std::function<void()>>> script;
    // Index into sceneLog where each turn's records start.
    std::map<std::int64_t, std::size_t> logStart;
    std::int64_t limit = 0;
};
