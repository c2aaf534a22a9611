#include "shell/app_window.h"

#include "app/data_dir.h"
#include "app/resources.h"
#include "model/glm.h"

bool createAppWindow(const char* title, int width, int height, int colorBits) {
    const WindowStep opened =
        openGlWindow(title, width, height, colorBits, 16, &resourceImage(IDI_VELMORA));
    if (const char* failure = finishAppWindow(opened, width, height)) {
        return failAppWindow(failure);
    }

    const DataDir data = findDataDir();
    try {
        return startAppScene(data.prefix);
    } catch (const GlmFatalError& error) {
        // The loader names the file it missed; an installed program also says where else it
        // looked.
        throw GlmFatalError(error.stream, error.what() + data.searched);
    }
}
