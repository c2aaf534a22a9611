#include "shell_harness.h"

#include "app/about_panel.h"
#include "app/app_window.h"
#include "app/overlay.h"
#include "app/scene_calls.h"
#include "app/shell_state.h"
#include "app/status_bar.h"

std::vector<std::string> sceneLog;
bool sceneInitResult = true;

namespace {

bool recordInit() {
    sceneLog.emplace_back("init");
    return sceneInitResult;
}
bool recordDraw() {
    sceneLog.emplace_back("draw");
    return true;
}
void recordForward() {
    sceneLog.emplace_back("forward");
}
void recordBack() {
    sceneLog.emplace_back("back");
}
void recordLeft() {
    sceneLog.emplace_back("left");
}
void recordRight() {
    sceneLog.emplace_back("right");
}
void recordMouse(int x, int y) {
    sceneLog.push_back("mouse " + std::to_string(x) + " " + std::to_string(y));
}
void recordLeave() {
    sceneLog.emplace_back("leave");
}

const SceneCalls recorder{recordInit, recordDraw,  recordForward, recordBack,
                          recordLeft, recordRight, recordMouse,   recordLeave};

void sink(void* context, const char* caption, const char* text, MessageBoxIcon icon) {
    static_cast<std::vector<BoxRecord>*>(context)->push_back(BoxRecord{caption, text, icon});
}

} // namespace

struct ShellBridge {
    static void before(void* context, std::int64_t turn);
    static bool after(void* context, std::int64_t turn);
};

void ShellTest::SetUp() {
    boxes.clear();
    turns.clear();
    turnsRun = 0;
    script.clear();
    logStart.clear();
    installNullSystem();
    resetShellState();
    resetLoopState();
    resetAppWindowState();
    statusBarRecreate();
    sceneLog.clear();
    sceneInitResult = true;
    setSceneCalls(&recorder);
    platformSetMessageBoxSink(sink, &boxes);
}

void ShellTest::TearDown() {
    if (mainWindow != nullptr) {
        destroyAppWindow();
    }
    overlayShutdown();
    setSceneCalls(nullptr);
    platformSetMessageBoxSink(nullptr, nullptr);
    uninstallNullSystem();
    resetAppWindowState();
}

void ShellTest::inputAt(std::int64_t turn, std::uint32_t message, WParam wParam, LParam lParam) {
    script[turn].push_back([=] { platformPostInput(message, wParam, lParam); });
}

void ShellTest::postAt(std::int64_t turn, std::uint32_t message, WParam wParam, LParam lParam) {
    script[turn].push_back([=] { platformPostMessage(mainWindow, message, wParam, lParam); });
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
    TurnRecord record{turn,
                      freeCamera,
                      showPath,
                      speedDivisor,
                      aboutPanelVisible(),
                      aboutPanelHasFocus(),
                      platformDialogResult(aboutDialog),
                      {}};
    for (int part = 0; part < 3; ++part) {
        record.status[part] = statusBarText(part);
    }
    test->turns.push_back(record);
    test->turnsRun = turn;
    return turn < test->limit;
}

int ShellTest::run(std::int64_t turnLimit) {
    limit = turnLimit;
    LoopHooks hooks{this, ShellBridge::before, nullptr, ShellBridge::after};
    return appMain(800, 400, &hooks);
}

int ShellTest::count(const std::string& entry) const {
    int n = 0;
    for (const std::string& e : sceneLog) {
        n += e == entry ? 1 : 0;
    }
    return n;
}

std::vector<std::string> ShellTest::sceneCallsBetween(std::int64_t firstTurn,
                                                      std::int64_t lastTurn) const {
    std::size_t from = logStart.at(firstTurn);
    std::size_t to =
        logStart.count(lastTurn + 1) != 0 ? logStart.at(lastTurn + 1) : sceneLog.size();
    return {sceneLog.begin() + static_cast<std::ptrdiff_t>(from),
            sceneLog.begin() + static_cast<std::ptrdiff_t>(to)};
}
