#include "scene/scene.h"
#include "scene/scene_state.h"

#include "scene/ramps.h"
#include "scene/scene_render.h"

#include <algorithm>
#include <cstdio>

namespace {
// The ramp's flags with the outline every model of the demo draws.
void setUpModel(ToonModel* record, const ModelRamp& ramp, float lineWidth) {
    record->flags = ramp.flags | TOON_OUTLINE;
    record->shadeCount = ramp.shadeCount;
    record->lineWidth = lineWidth;
    record->buildRamp(ramp.cool, ramp.warm);
}

float spin(double factor) {
    return static_cast<float>(scene.pathTime * factor);
}
} // namespace

bool initScene(const SceneInput& input, SceneTexts* texts) {
    renderSetUp();

    scene.spaceship.load((input.dataDir + "spaceship.obj").c_str());
    scene.deathstar.load((input.dataDir + "deathstar.obj").c_str());
    scene.lego.load((input.dataDir + "lego.obj").c_str());
    scene.surface.load((input.dataDir + "surface.obj").c_str());
    scene.torus.load((input.dataDir + "torus.obj").c_str());

    setUpModel(&scene.spaceship, modelRamps[spaceshipRamp], 5.0f);
    setUpModel(&scene.deathstar, modelRamps[deathstarRamp], 3.0f);
    setUpModel(&scene.lego, modelRamps[legoRamp], 4.0f);
    setUpModel(&scene.surface, modelRamps[surfaceRamp], 4.0f);
    // The torus's line width 0 is one the GL rejects, so its outline takes the lego's 4 drawn
    // just before it. Its ramp draws the generator's first 32 numbers, before the stars.
    setUpModel(&scene.torus, modelRamps[torusRamp], 0.0f);

    cameraSetUp(scene.camera);
    scene.starList = buildStarField();

    formatSpeedText(input.speedDivisor, texts->speed);

    std::fill(std::begin(scene.frameTimeHistory), std::end(scene.frameTimeHistory), 0.0);
    return true;
}

bool drawScene(const SceneInput& input, SceneTexts* texts) {
    renderBeginFrame();

    pushFrameTime(scene.timer.frameDelta());
    advanceScene(scene.averageFrameTime, input.speedDivisor);
    cameraViewUpdate(scene.camera, input.freeCamera, &scene.trailPoint, &scene.shipPoint,
                     scene.averageFrameTime, input.speedDivisor);

    renderPushPlacement();
    if (input.showPath) {
        drawFlightPath();
    }
    renderStars(scene.starList);

    // Rows 1 to 5 take their placements back by inverse operations instead of a matrix push,
    // so each inverse mirrors its placement step for step.
    renderTranslate(-4.0f, 4.0f, -20.0f);
    renderRotate(spin(200), 90.0f, 50.0f, 0.0f);
    renderScale(2.0f, 2.0f, 2.0f);
    scene.lego.draw();
    renderScale(0.5f, 0.5f, 0.5f);
    renderRotate(spin(-200), 90.0f, 50.0f, 0.0f);
    renderTranslate(4.0f, -4.0f, 20.0f);

    renderTranslate(-10.0f, 3.0f, 0.0f);
    renderRotate(spin(150), 90.0f, 50.0f, 0.0f);
    scene.lego.draw();
    renderRotate(spin(-150), 90.0f, 50.0f, 0.0f);
    renderTranslate(10.0f, -3.0f, 0.0f);

    renderTranslate(3.0f, 0.0f, 150.0f);
    renderRotate(-90.0f, 1.0f, 0.0f, 0.0f);
    renderRotate(spin(100), 0.0f, 20.0f, 0.0f);
    renderScale(10.0f, 10.0f, 10.0f);
    scene.lego.draw();
    renderScale(0.1f, 0.1f, 0.1f);
    renderRotate(spin(-100), 0.0f, 20.0f, 0.0f);
    renderRotate(90.0f, 1.0f, 0.0f, 0.0f);
    renderTranslate(-3.0f, 0.0f, -150.0f);

    renderTranslate(0.0f, 26.0f, 40.0f);
    renderRotate(66.0f, 1.0f, 0.0f, 0.0f);
    renderRotate(spin(100), 1.0f, 10.0f, 0.0f);
    renderScale(10.0f, 10.0f, 10.0f);
    scene.torus.draw();
    renderScale(0.1f, 0.1f, 0.1f);
    renderRotate(spin(-100), 1.0f, 10.0f, 0.0f);
    renderRotate(-66.0f, 1.0f, 0.0f, 0.0f);
    renderTranslate(0.0f, -26.0f, -40.0f);

    renderScale(10.0f, 10.0f, 10.0f);
    scene.surface.draw();
    renderScale(0.1f, 0.1f, 0.1f);

    updateShipRotation();
    renderTranslate(static_cast<float>(scene.shipPoint.x), static_cast<float>(scene.shipPoint.y),
                    static_cast<float>(scene.shipPoint.z));
    renderMultiply(scene.shipRotation);
    scene.spaceship.draw();
    renderPopPlacement();

    renderPushPlacement();
    renderTranslate(0.0f, 0.0f, 100.0f);
    renderScale(20.0f, 20.0f, 20.0f);
    renderRotate(spin(150), 0.0f, 45.0f, 0.0f);
    scene.deathstar.draw();
    renderPopPlacement();

    scene.timer.countFrame();
    std::snprintf(texts->frameRate, sizeof texts->frameRate, "FPS: %d Secs: %d",
                  static_cast<int>(scene.timer.framesPerSecond),
                  static_cast<int>(scene.timer.seconds));
    return true;
}
