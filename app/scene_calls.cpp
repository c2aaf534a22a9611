#include "app/scene_calls.h"

#include "scene/camera.h"
#include "scene/scene.h"

namespace {

const SceneCalls sceneOwn{initScene,        drawScene,         cameraMoveForward, cameraMoveBack,
                          cameraStrafeLeft, cameraStrafeRight, cameraMouseMoved,  cameraMouseLeft};
SceneCalls installed = sceneOwn;

} // namespace

const SceneCalls& sceneCalls() {
    return installed;
}

void setSceneCalls(const SceneCalls* calls) {
    installed = calls != nullptr ? *calls : sceneOwn;
}
