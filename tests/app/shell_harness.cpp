#include "shell_harness.h"

#include "app/about_panel.h"
#include "app/app_window.h"
#include "app/overlay.h"

#include <algorithm>
#include <cstdio>

std::vector<std::string> sceneLog;
bool sceneInitResult = true;
std::string sceneSpeedText;
std::string sceneFrameRateText;

namespace {
SceneInput lastDrawn;

void copyText(const std::string& from, char (&to)[64]) {
    std::snprintf(to, sizeof to, "%s", from.c_str());
}
} // namespace

// The recording scene: linked in place of the scene's own set-up, frame and camera.
bool initScene(const SceneInput&, SceneTexts* texts) {
    sceneLog.emplace_back("init");
    copyText(sceneSpeedText, texts->speed);
    return sceneInitResult;
}
bool drawScene(const SceneInput& input, SceneTexts* texts) {
    sceneLog.emplace_back("draw");
    lastDrawn = input;
    copyText(sceneFrameRateText, texts->frameRate);
    return true;
}
void cameraMoveForward() {
    sceneLog.emplace_back("forward");
}
void cameraMoveBack() {
    sceneLog.emplace_back("back");
}
void cameraStrafeLeft() {
    sceneLog.emplace_back("left");
}
void cameraStrafeRight() {
    sceneLog.emplace_back("right");
}
void cameraMouseMoved(int x, int y) {
    sceneLog.push_back("mouse " + std::to_string(x) + " " + std::to_string(y));
}
void cameraMouseLeft() {
    sceneLog.emplace_back("leave");
}

namespace {

void sink(void* context, const char* caption, const char* text, MessageBoxIcon icon) {
    static_cast<std::vector<BoxRecord>*>(context)->push_back(BoxRecord{caption, text, icon});
}

} // namespace

namespace {
const char* const targetNames[] = {"None", "Main", "StatusBar", "Panel"};
} // namespace

void PrintTo(Target target, std::ostream* os) {
    *os << targetNames[static_cast<int>(target)];
}

::testing::AssertionResult rectIs(Rect r, Rect e) {
    if (r.x == e.x && r.y == e.y && r.width == e.width && r.height == e.height) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "(" << r.x << ", " << r.y << ") " << r.width << " x " << r.height << ", expected ("
           << e.x << ", " << e.y << ") " << e.width << " x " << e.height;
}

std::string describe(const Message& message) {
    static const char* const types[] = {"KeyDown",    "KeyUp",       "Char",      "MouseMove",
                                        "MouseLeave", "ButtonDown",  "ButtonUp",  "Resized",
                                        "Close",      "FocusGained", "FocusLost", "Quit"};
    const Event& e = message.event;
    std::string text = std::string(targetNames[static_cast<int>(message.target)]) + " " +
                       types[static_cast<int>(e.type)];
    auto number = [&](int n) { text += " " + std::to_string(n); };
    switch (e.type) {
    case EventType::ButtonDown:
    case EventType::ButtonUp:
        number(e.a);
        number(e.b);
        number(e.c);
        break;
    case EventType::MouseMove:
    case EventType::Resized:
        number(e.a);
        number(e.b);
        break;
    case EventType::KeyDown:
    case EventType::KeyUp:
    case EventType::Char:
    case EventType::Quit:
        number(e.a);
        break;
    default:
        break;
    }
    return text;
}

struct ShellBridge {
    static void before(void* context, std::int64_t turn);
    static bool after(void* context, std::int64_t turn);
};

void ShellTest::SetUp() {
    resetNullPlatform();
    resetShell();
    sceneLog.clear();
    sceneInitResult = true;
    sceneSpeedText.clear();
    sceneFrameRateText.clear();
    platformSetMessageBoxSink(sink, &boxes);
}

void ShellTest::TearDown() {
    destroyAppWindow();
    overlayShutdown();
    platformSetMessageBoxSink(nullptr, nullptr);
    resetShell();
    resetNullPlatform();
    boxes.clear();
    turns.clear();
    turnsRun = 0;
    script.clear();
    logStart.clear();
}

void ShellTest::inputAt(std::int64_t turn, Event event) {
    script[turn].push_back([=] { shellPostInput(event); });
}

void ShellTest::postAt(std::int64_t turn, Event event) {
    script[turn].push_back([=] { shellPost(Target::Main, event); });
}

void ShellTest::actAt(std::int64_t turn, std::function<void()> action) {
    script[turn].push_back(std::move(action));
}

void ShellBridge::before(void* context, std::int64_t turn) {
    auto* test = static_cast<ShellTest*>(context);
    test->logStart[turn] = sceneLog.size();
    if (auto it = test->script.find(turn); it != test->script.end()) {
        for (auto& action : it->second) {
            action();
        }
    }
}

bool ShellBridge::after(void* context, std::int64_t turn) {
    auto* test = static_cast<ShellTest*>(context);
    TurnRecord record{lastDrawn, shell.aboutVisible, shell.focus, shell.aboutResult, {}};
    std::copy(std::begin(shell.status), std::end(shell.status), record.status);
    test->turns.push_back(record);
    test->turnsRun = turn;
    return turn < test->limit;
}

int ShellTest::run(std::int64_t turnLimit) {
    limit = turnLimit;
    LoopHooks hooks{this, ShellBridge::before, nullptr, ShellBridge::after};
    return appMain(800, 400, &hooks);
}

const TurnRecord& ShellTest::at(std::int64_t turn) const {
    return turns.at(static_cast<std::size_t>(turn - 1));
}

int ShellTest::count(const std::string& entry) const {
    return static_cast<int>(std::count(sceneLog.begin(), sceneLog.end(), entry));
}

std::vector<std::string> ShellTest::sceneCallsBetween(std::int64_t firstTurn,
                                                      std::int64_t lastTurn) const {
    std::size_t from = logStart.at(firstTurn);
    std::size_t to =
        logStart.count(lastTurn + 1) != 0 ? logStart.at(lastTurn + 1) : sceneLog.size();
    return {sceneLog.begin() + static_cast<std::ptrdiff_t>(from),
            sceneLog.begin() + static_cast<std::ptrdiff_t>(to)};
}

void ShellTest::open() {
    ASSERT_TRUE(createAppWindow("Velmora Demo", 800, 400, 16));
    createAboutPanel();
    shellSetFocus(Target::Main);
    shell.queue.clear();
}

std::vector<std::string> ShellTest::drain() {
    std::vector<std::string> out;
    for (Message message; shellPeekMessage(&message);) {
        out.push_back(describe(message));
    }
    return out;
}
