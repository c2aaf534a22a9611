// Creating and releasing the window and its contexts, with each step failing in turn.
#include "shell_harness.h"

#include "app/app_window.h"

namespace {

struct CreationCase {
    NullStep step;
    const char* text;
};

const CreationCase creationCases[] = {
    {NullStep::RegisterClass, "Failed To Register The Window Class."},
    {NullStep::CreateWindow, "Window Creation Error."},
    {NullStep::GetDC, "Can't Create A GL Device Context."},
    {NullStep::ChoosePixelFormat, "Can't Find A Suitable PixelFormat."},
    {NullStep::SetPixelFormat, "Can't Set The PixelFormat."},
    {NullStep::CreateContext, "Can't Create A GL Rendering Context."},
    {NullStep::MakeCurrent, "Can't Activate The GL Rendering Context."},
};

void expectNothingLeft() {
    const NullSystemState& s = nullSystemState();
    EXPECT_EQ(s.classes, 0);
    EXPECT_EQ(s.liveWindows, 0);
    EXPECT_EQ(s.liveDCs, 0);
    EXPECT_EQ(s.liveContexts, 0);
    EXPECT_EQ(s.currentContext, nullptr);
    EXPECT_EQ(mainWindow, nullptr);
    EXPECT_EQ(deviceContext, nullptr);
    EXPECT_EQ(renderingContext, nullptr);
}

} // namespace

TEST_F(ShellTest, EachFailingCreationStepShowsExactlyOneErrorBoxAndReleasesWhatExists) {
    for (const CreationCase& c : creationCases) {
        SCOPED_TRACE(c.text);
        TearDown();
        SetUp();
        nullSystemState().fail[static_cast<int>(c.step)] = true;
        EXPECT_EQ(run(5), 0);
        EXPECT_EQ(turnsRun, 0);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "ERROR");
        EXPECT_EQ(boxes[0].text, c.text);
        EXPECT_EQ(boxes[0].icon, MessageBoxIcon::Exclamation);
        expectNothingLeft();
        EXPECT_EQ(count("init"), 0);
    }
}

TEST_F(ShellTest, AFailingSceneSetUpShowsInitializationFailed) {
    sceneInitResult = false;
    EXPECT_EQ(run(5), 0);
    EXPECT_EQ(turnsRun, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "ERROR");
    EXPECT_EQ(boxes[0].text, "Initialization Failed.");
    expectNothingLeft();
}

TEST_F(ShellTest, EachFailingReleaseStepIsReportedAndTheReleaseGoesOn) {
    const struct {
        NullStep step;
        const char* text;
    } cases[] = {
        {NullStep::ReleaseCurrent, "Release Of DC And RC Failed."},
        {NullStep::DeleteContext, "Release Rendering Context Failed."},
        {NullStep::ReleaseDC, "Release Device Context Failed."},
        {NullStep::DestroyWindow, "Could Not Release hWnd."},
        {NullStep::UnregisterClass, "Could Not Unregister Class."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TearDown();
        SetUp();
        ASSERT_TRUE(createAppWindow("Velmora Demo", 800, 400, 16));
        nullSystemState().fail[static_cast<int>(c.step)] = true;
        destroyAppWindow();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "SHUTDOWN ERROR");
        EXPECT_EQ(boxes[0].text, c.text);
        EXPECT_EQ(boxes[0].icon, MessageBoxIcon::Information);
        // The handles are cleared and every later step still ran.
        EXPECT_EQ(mainWindow, nullptr);
        EXPECT_EQ(deviceContext, nullptr);
        EXPECT_EQ(renderingContext, nullptr);
        const std::vector<std::string>& calls = nullSystemState().calls;
        EXPECT_EQ(calls.back(), "unregisterClass");
        EXPECT_NE(std::find(calls.begin(), calls.end(), "destroyWindow"), calls.end());
        nullSystemState().fail[static_cast<int>(c.step)] = false;
    }
}

TEST_F(ShellTest, DestroyingTwiceComplainsOnlyAboutTheClass) {
    ASSERT_TRUE(createAppWindow("Velmora Demo", 800, 400, 16));
    destroyAppWindow();
    EXPECT_TRUE(boxes.empty());
    destroyAppWindow();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Could Not Unregister Class.");
}

TEST_F(ShellTest, ThePixelFormatRequestIsFilledOnTheFirstCallOnly) {
    ASSERT_TRUE(createAppWindow("Velmora Demo", 800, 400, 16));
    EXPECT_EQ(pixelFormatRequest.size, 40);
    EXPECT_EQ(pixelFormatRequest.version, 1);
    EXPECT_EQ(pixelFormatRequest.flags, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER);
    EXPECT_EQ(pixelFormatRequest.pixelType, PFD_TYPE_RGBA);
    EXPECT_EQ(pixelFormatRequest.colorBits, 16);
    EXPECT_EQ(pixelFormatRequest.depthBits, 16);
    EXPECT_EQ(pixelFormatRequest.stencilBits, 0);
    EXPECT_EQ(pixelFormatRequest.alphaBits, 0);
    destroyAppWindow();
    ASSERT_TRUE(createAppWindow("Velmora Demo", 800, 400, 32));
    EXPECT_EQ(pixelFormatRequest.colorBits, 16);
}

TEST_F(ShellTest, ASizeBeforeTheContextExistsOnlyStoresIt) {
    resizeViewport(320, 0);
    EXPECT_EQ(viewportWidth, 320);
    EXPECT_EQ(viewportHeight, 1);
    EXPECT_FALSE(platformGLCurrent());
}
