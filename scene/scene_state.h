// The scene's state and the parts of a frame that need no GL: frame-time averaging, the path
// time, the path points, the ship's rotation, the star positions and the speed text.
//
// Contract:
// - All of the scene's state, the camera and the frame timer among it, is the one record
//   `scene`, in static storage for the whole run; it is declared here so tools can trace it and
//   tests can check it. Only the scene writes it.
// - resetScene is the one reset a fresh run needs (a tool replaying a run, a test): the record,
//   its timer reading the counter source now installed, and the random generator.
// - A ship direction with no usable rotation (zero length, or parallel to the ship axis) keeps
//   a finite orientation: the previous frame's rotation for zero length, the identity when the
//   direction already matches the axis, a half turn about +y when it is opposite.
#pragma once

#include "math/vec3.h"
#include "scene/camera.h"
#include "scene/flight_path.h"
#include "scene/frame_timer.h"
#include "toon/toon_model.h"

#include <cstdint>

constexpr int frameTimeHistoryLength = 20;

struct SceneState {
    ToonModel spaceship;
    ToonModel deathstar;
    ToonModel lego;
    ToonModel surface;
    ToonModel torus;
    std::uint32_t starList = 0;
    // Newest first.
    double frameTimeHistory[frameTimeHistoryLength] = {};
    double averageFrameTime = 0.0;
    double pathTime = 0.0;
    PathPoint trailPoint{};
    PathPoint shipPoint{};
    PathPoint leadPoint{};
    // shipPoint - leadPoint; after a drawn frame normalised in place by the angle computation.
    Vec3 shipDirection{};
    Vec3 shipAxis{0.0f, 0.0f, -1.0f};
    // The rotation the ship was last drawn with (GL column-major); identity before the first
    // frame.
    float shipRotation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    Camera camera;
    // Constructed during static initialisation, so its first delta spans the start-up.
    FrameTimer timer;
};

extern SceneState scene;

// "Speed: %f" of 1 / divisor: what the status bar shows as the speed.
void formatSpeedText(float speedDivisor, char (&text)[64]);

// One star: draws two numbers from the random generator (height, then longitude) and returns
// the position that buildStarField compiles.
Vec3 nextStarPosition();
// The frame's time step: shifts delta into the history and returns the new average.
double pushFrameTime(double delta);
// pathTime advanced and wrapped, then the three path points and shipDirection, as a frame
// computes them before drawing.
void advanceScene(double averageTime, float divisor);
// Turns shipAxis onto shipDirection (which it normalises) and writes the rotation into
// shipRotation, keeping a finite orientation in the degenerate cases.
void updateShipRotation();
// A fresh run (see the contract above); the random generator is reset so that set-up draws
// the same ramp and sky again. The model records stay loaded; starList becomes 0 (initScene or
// buildStarField makes a new one).
void resetScene();
