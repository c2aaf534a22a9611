#include "app/app_window.h"

#include "app/overlay.h"
#include "app/resources.h"
#include "app/scene_calls.h"
#include "app/shell_state.h"
#include "app/status_bar.h"
#include "app/window_proc.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>

WindowHandle mainWindow = nullptr;
WindowHandle statusBarWindow = nullptr;
WindowHandle aboutDialog = nullptr;
DeviceContext deviceContext = nullptr;
RenderingContext renderingContext = nullptr;
int viewportWidth = 0;
int viewportHeight = 0;
PixelFormatRequest pixelFormatRequest{};

namespace {

constexpr const char* className = "windowclass";
constexpr int statusBarId = 999;
bool pixelFormatFilled = false;

void errorBox(const char* text) {
    platformMessageBox(nullptr, text, "ERROR", MessageBoxIcon::Exclamation);
}

void shutdownBox(const char* text) {
    platformMessageBox(nullptr, text, "SHUTDOWN ERROR", MessageBoxIcon::Information);
}

// The bar's window text "Status" is part 0's text only on the bar createAppWindow makes; a bar
// re-created on a resize shows the size text alone, and the speed text comes back with the next
// speed key.
void createStatusBar(const char* initialText) {
    statusBarWindow =
        mainWindow != nullptr ? platformCreateStatusWindow(mainWindow, statusBarId) : nullptr;
    statusBarRecreate();
    statusBarSetText(0, initialText);
}

} // namespace

bool createAppWindow(const char* title, int width, int height, int colorBits) {
    const Image& icon = resourceImage(IDI_VELMORA);
    WindowClass windowClass{className, windowProc, icon.rgba.empty() ? nullptr : &icon};
    if (!platformRegisterClass(&windowClass)) {
        errorBox("Failed To Register The Window Class.");
        return false;
    }

    // The window rectangle needs no widening: the platform sizes windows by their client area.
    mainWindow = platformCreateWindow(className, title, width, height);
    if (mainWindow == nullptr) {
        destroyAppWindow();
        errorBox("Window Creation Error.");
        return false;
    }

    createStatusBar("Status");

    if (!pixelFormatFilled) {
        pixelFormatFilled = true;
        pixelFormatRequest = PixelFormatRequest{};
        pixelFormatRequest.size = sizeof(PixelFormatRequest);
        pixelFormatRequest.version = 1;
        pixelFormatRequest.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pixelFormatRequest.pixelType = PFD_TYPE_RGBA;
        pixelFormatRequest.colorBits = static_cast<std::uint8_t>(colorBits);
        pixelFormatRequest.depthBits = 16;
        pixelFormatRequest.layerType = PFD_MAIN_PLANE;
    }

    deviceContext = platformGetDC(mainWindow);
    if (deviceContext == nullptr) {
        destroyAppWindow();
        errorBox("Can't Create A GL Device Context.");
        return false;
    }
    int format = platformChoosePixelFormat(deviceContext, &pixelFormatRequest);
    if (format == 0) {
        destroyAppWindow();
        errorBox("Can't Find A Suitable PixelFormat.");
        return false;
    }
    if (!platformSetPixelFormat(deviceContext, format, &pixelFormatRequest)) {
        destroyAppWindow();
        errorBox("Can't Set The PixelFormat.");
        return false;
    }
    renderingContext = platformCreateContext(deviceContext);
    if (renderingContext == nullptr) {
        destroyAppWindow();
        errorBox("Can't Create A GL Rendering Context.");
        return false;
    }
    if (!platformMakeCurrent(deviceContext, renderingContext)) {
        destroyAppWindow();
        errorBox("Can't Activate The GL Rendering Context.");
        return false;
    }

    platformShowWindow(mainWindow, true);
    platformSetForegroundWindow(mainWindow);
    platformSetFocus(mainWindow);
    resizeViewport(width, height);

    if (!sceneCalls().initScene()) {
        destroyAppWindow();
        errorBox("Initialization Failed.");
        return false;
    }
    platformShowWindow(mainWindow, true);
    return true;
}

void destroyAppWindow() {
    if (renderingContext != nullptr) {
        // The overlay's textures belong to this context.
        overlayShutdown();
        if (!platformMakeCurrent(nullptr, nullptr)) {
            shutdownBox("Release Of DC And RC Failed.");
        }
        if (!platformDeleteContext(renderingContext)) {
            shutdownBox("Release Rendering Context Failed.");
        }
        renderingContext = nullptr;
    }
    overlayShutdown();
    if (deviceContext != nullptr) {
        if (!platformReleaseDC(mainWindow, deviceContext)) {
            shutdownBox("Release Device Context Failed.");
        }
        deviceContext = nullptr;
    }
    if (mainWindow != nullptr) {
        if (!platformDestroyWindow(mainWindow)) {
            shutdownBox("Could Not Release hWnd.");
        }
        mainWindow = nullptr;
        // Both went with their owner.
        statusBarWindow = nullptr;
        aboutDialog = nullptr;
    }
    if (!platformUnregisterClass(className)) {
        shutdownBox("Could Not Unregister Class.");
    }
}

void resizeViewport(int width, int height) {
    if (height < 1) {
        height = 1;
    }
    viewportWidth = width;
    viewportHeight = height;
    if (!platformGLCurrent()) {
        return;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height),
                   static_cast<double>(0.1f), 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void recreateStatusBar() {
    if (statusBarWindow != nullptr) {
        platformDestroyWindow(statusBarWindow);
        statusBarWindow = nullptr;
    }
    createStatusBar("");
    char text[64];
    std::snprintf(text, sizeof text, "%d x %d", viewportWidth, viewportHeight);
    statusBarSetText(1, text);
}

void writeSpeedText() {
    char text[64];
    std::snprintf(text, sizeof text, "Speed: %f", 1.0 / static_cast<double>(speedDivisor));
    statusBarSetText(0, text);
}

void resetAppWindowState() {
    mainWindow = nullptr;
    statusBarWindow = nullptr;
    aboutDialog = nullptr;
    deviceContext = nullptr;
    renderingContext = nullptr;
    viewportWidth = 0;
    viewportHeight = 0;
    pixelFormatRequest = PixelFormatRequest{};
    pixelFormatFilled = false;
}
