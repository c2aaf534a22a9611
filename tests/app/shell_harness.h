// Runs the shell on the null platform: a scene that records what the shell calls, a
// message-box sink, and loop hooks that feed each turn's scripted input and record state.
#pragma once

#include "app/main_loop.h"
#include "app/shell.h"
#include "platform/null_platform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

struct BoxRecord {
    std::string caption;
    std::string text;
    MessageBoxIcon icon;
};

// After each turn: what that turn's frame was drawn with, and the shell's visible state.
struct TurnRecord {
    SceneInput drawn;
    bool aboutVisible;
    Target focus;
    int aboutResult;
    std::string status[statusPartCount];
};

// What the recording scene saw, in order: "init", "draw", "forward", "back", "left", "right",
// "mouse X Y", "leave".
extern std::vector<std::string> sceneLog;
// What the recording scene's set-up returns and the texts its calls hand back (empty: none).
extern bool sceneInitResult;
extern std::string sceneSpeedText;
extern std::string sceneFrameRateText;

// "Main MouseMove 10 20": the target, the event and the numbers it carries.
std::string describe(const Message& message);
// Targets by name in test failures.
void PrintTo(Target target, std::ostream* os);
::testing::AssertionResult rectIs(Rect actual, Rect expected);

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

  public:
    // Device input before a turn, routed as real input is.
    void inputAt(std::int64_t turn, Event event);
    void keyDownAt(std::int64_t turn, int key) { inputAt(turn, Event{EventType::KeyDown, key}); }
    void keyUpAt(std::int64_t turn, int key) { inputAt(turn, Event{EventType::KeyUp, key}); }
    // Posted straight to the main window before a turn.
    void postAt(std::int64_t turn, Event event);
    void actAt(std::int64_t turn, std::function<void()> action);

    // appMain at 800 x 400 for at most `turns` turns; returns the exit code.
    int run(std::int64_t turns);
    const TurnRecord& at(std::int64_t turn) const;
    int count(const std::string& entry) const;
    std::vector<std::string> sceneCallsBetween(std::int64_t firstTurn, std::int64_t lastTurn) const;

    // The window and the hidden About panel as appMain makes them, without the loop, and an
    // empty queue.
    void open();
    // Every message the shell hands out now, described.
    std::vector<std::string> drain();

    std::vector<BoxRecord> boxes;
    std::vector<TurnRecord> turns;
    std::int64_t turnsRun = 0;
    std::map<std::int64_t, std::vector<std::function<void()>>> script;
    // Index into sceneLog where each turn's records start.
    std::map<std::int64_t, std::size_t> logStart;
    std::int64_t limit = 0;
};
