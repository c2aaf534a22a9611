#include "shell/app_window.h"

#include "app/data_dir.h"
#include "app/resources.h"
#include "shell/shell.h"
#include "model/glm.h"
#include "platform/platform.h"
#include "scene/scene_render.h"

bool createAppWindow(const char* title, int width, int height, int colorBits) {
    // SDL fixes the format when it makes a GL window, so the format comes first: a system
    // without GL fails here rather than at the window.
    if (!platformChooseFormat(colorBits, 16)) {
        return failAppWindow("Can't Find A Suitable PixelFormat.");
    }
    const Image& icon = resourceImage(IDI_VELMORA);
    if (!platformCreateWindow(title, width, height, &icon)) {
        return failAppWindow("Window Creation Error.");
    }
    if (const char* failure = finishAppWindow(width, height)) {
        return failAppWindow(failure);
    }

    const DataDir data = findDataDir();
    shell.scene.dataDir = data.prefix;
    SceneTexts texts;
    bool ready = false;
    try {
        ready = initScene(shell.scene, &texts);
    } catch (const GlmFatalError& error) {
        // The loader names the file it missed; an installed program also says where else it
        // looked.
        throw GlmFatalError(error.stream, error.what() + data.searched);
    }
    if (!ready) {
        return failAppWindow("Initialization Failed.");
    }
    if (texts.speed[0] != '\0') {
        shell.status[0] = texts.speed;
    }
    return true;
}
