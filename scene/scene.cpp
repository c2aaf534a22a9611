#include "scene/scene.h"

#include "app/shell_state.h"
#include "app/status_bar.h"
#include "scene/camera.h"
#include "scene/frame_timer.h"

#include <GL/gl.h>

#include <cstdio>

ToonModel spaceship;
ToonModel deathstar;
ToonModel lego;
ToonModel surface;
ToonModel torus;

namespace {
void setUpModel(ToonModel* record, float lineWidth, const float* coolColor,
                const float* warmColor) {
    record->lineWidth = lineWidth;
    record->buildRamp(coolColor, warmColor);
}

void setUpModel(ToonModel* record, std::int32_t flags, std::int32_t shadeCount, float lineWidth,
                const float* coolColor, const float* warmColor) {
    record->flags = flags;
    record->shadeCount = shadeCount;
    setUpModel(record, lineWidth, coolColor, warmColor);
}

float spin(double factor) {
    return static_cast<float>(pathTime * factor);
}
} // namespace

bool initScene() {
    glClearColor(0.3f, 0.3f, 0.3f, 0.0f);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glMatrixMode(GL_MODELVIEW);

    spaceship.load("data/spaceship.obj");
    deathstar.load("data/deathstar.obj");
    lego.load("data/lego.obj");
    surface.load("data/surface.obj");
    torus.load("data/torus.obj");

    const float spaceshipCool[3] = {0.2f, 0.5f, 1.0f};
    const float spaceshipWarm[3] = {0.0f, 1.0f, 0.0f};
    const float deathstarCool[3] = {1.0f, 0.0f, 0.0f};
    const float deathstarWarm[3] = {1.0f, 1.0f, 0.0f};
    const float legoCool[3] = {0.0f, 0.0f, 1.0f};
    const float legoWarm[3] = {0.0f, 1.0f, 1.0f};
    const float greyCool[3] = {0.2f, 0.2f, 0.2f};
    const float greyWarm[3] = {1.0f, 1.0f, 1.0f};
    const std::int32_t gradientOutline = TOON_OUTLINE | TOON_GRADIENT;

    // The spaceship keeps the flags and shade count that load gave it.
    setUpModel(&spaceship, 5.0f, spaceshipCool, spaceshipWarm);
    setUpModel(&deathstar, gradientOutline, 4, 3.0f, deathstarCool, deathstarWarm);
    setUpModel(&lego, gradientOutline, 4, 4.0f, legoCool, legoWarm);
    setUpModel(&surface, gradientOutline, 4, 4.0f, greyCool, greyWarm);
    // The torus's line width stays 0, which the GL rejects, so its outline takes the lego's 4
    // drawn just before it. Its ramp draws the generator's first 32 numbers, before the stars.
    torus.flags = TOON_RANDOM_SHADES | TOON_OUTLINE;
    torus.shadeCount = 32;
    torus.buildRamp(greyCool, greyWarm);

    cameraSetUp();
    initFlightPath();
    starList = buildStarField();

    char text[64];
    std::snprintf(text, sizeof text, "Speed: %f", 1.0 / static_cast<double>(speedDivisor));
    statusBarSetText(0, text);

    for (double& entry : frameTimeHistory) {
        entry = 0.0;
    }
    return true;
}

bool drawScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    pushFrameTime(frameTimer.frameDelta());
    advanceScene(averageFrameTime, speedDivisor);
    cameraViewUpdate(freeCamera, &trailPoint, &shipPoint, averageFrameTime, speedDivisor);

    glPushMatrix();
    if (showPath) {
        drawFlightPath();
    }
    glCallList(starList);

    // Rows 1 to 5 take their placements back by inverse operations instead of a matrix push,
    // so each inverse mirrors its placement step for step.
    glTranslatef(-4.0f, 4.0f, -20.0f);
    glRotatef(spin(200), 90.0f, 50.0f, 0.0f);
    glScalef(2.0f, 2.0f, 2.0f);
    lego.draw();
    glScalef(0.5f, 0.5f, 0.5f);
    glRotatef(spin(-200), 90.0f, 50.0f, 0.0f);
    glTranslatef(4.0f, -4.0f, 20.0f);

    glTranslatef(-10.0f, 3.0f, 0.0f);
    glRotatef(spin(150), 90.0f, 50.0f, 0.0f);
    lego.draw();
    glRotatef(spin(-150), 90.0f, 50.0f, 0.0f);
    glTranslatef(10.0f, -3.0f, 0.0f);

    glTranslatef(3.0f, 0.0f, 150.0f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(spin(100), 0.0f, 20.0f, 0.0f);
    glScalef(10.0f, 10.0f, 10.0f);
    lego.draw();
    glScalef(0.1f, 0.1f, 0.1f);
    glRotatef(spin(-100), 0.0f, 20.0f, 0.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(-3.0f, 0.0f, -150.0f);

    glTranslatef(0.0f, 26.0f, 40.0f);
    glRotatef(66.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(spin(100), 1.0f, 10.0f, 0.0f);
    glScalef(10.0f, 10.0f, 10.0f);
    torus.draw();
    glScalef(0.1f, 0.1f, 0.1f);
    glRotatef(spin(-100), 1.0f, 10.0f, 0.0f);
    glRotatef(-66.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, -26.0f, -40.0f);

    glScalef(10.0f, 10.0f, 10.0f);
    surface.draw();
    glScalef(0.1f, 0.1f, 0.1f);

    updateShipRotation();
    glTranslatef(static_cast<float>(shipPoint.x), static_cast<float>(shipPoint.y),
                 static_cast<float>(shipPoint.z));
    glMultMatrixf(shipRotation);
    spaceship.draw();
    glPopMatrix();

    glPushMatrix();
    glTranslatef(0.0f, 0.0f, 100.0f);
    glScalef(20.0f, 20.0f, 20.0f);
    glRotatef(spin(150), 0.0f, 45.0f, 0.0f);
    deathstar.draw();
    glPopMatrix();

    frameTimer.countFrame();
    char text[64];
    std::snprintf(text, sizeof text, "FPS: %d Secs: %d", static_cast<int>(framesPerSecond),
                  static_cast<int>(frameTimer.seconds));
    statusBarSetText(2, text);
    return true;
}
