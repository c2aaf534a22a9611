// The scene: five tone-shaded models in a sphere of stars, the ship flying the flight path and
// the camera trailing it.
//
// Contract:
// - initScene runs once with the GL context current and the model-view matrix selected; it
//   loads data/*.obj (a missing file ends the process inside the loader), sets the models up,
//   builds the star field and writes "Speed: %f" to status part 0. It always returns true.
// - drawScene draws one frame into the back buffer and writes "FPS: %d Secs: %d" to status
//   part 2. It always returns true. It advances pathTime by averageFrameTime / speedDivisor and
//   wraps it at 7, so 0 <= pathTime < 7 after every frame.
// - The state below is the scene's own, in static storage for the whole run; it is declared
//   here so tools can trace it and tests can check it. Only the scene writes it.
// - A ship direction with no usable rotation (zero length, or parallel to the ship axis) keeps
//   a finite orientation: the previous frame's rotation for zero length, the identity when the
//   direction already matches the axis, a half turn about +y when it is opposite.
#pragma once

#include "math/vec3.h"
#include "scene/flight_path.h"
#include "toon/toon_model.h"

#include <cstdint>

constexpr int frameTimeHistoryLength = 20;
constexpr int starCount = 3999;

extern ToonModel spaceship;
extern ToonModel deathstar;
extern ToonModel lego;
extern ToonModel surface;
extern ToonModel torus;

extern std::uint32_t starList;
// Newest first.
extern double frameTimeHistory[frameTimeHistoryLength];
extern double averageFrameTime;
extern double pathTime;
extern PathPoint trailPoint;
extern PathPoint shipPoint;
extern PathPoint leadPoint;
// shipPoint - leadPoint; after a drawn frame normalised in place by the angle computation.
extern Vec3 shipDirection;
extern Vec3 shipAxis;
// The rotation the ship was last drawn with (GL column-major); identity before the first frame.
extern float shipRotation[16];

bool initScene();
bool drawScene();
// Compiles the 3999 stars into a new display list and returns its name.
std::uint32_t buildStarField();

// One star: draws two numbers from the random generator (height, then longitude) and returns
// the position that buildStarField compiles.
Vec3 nextStarPosition();
// The frame's time step: shifts d into the history and returns the new average.
double pushFrameTime(double delta);
// pathTime advanced and wrapped, then the three path points and shipDirection, as a frame
// computes them before drawing.
void advanceScene(double averageTime, float divisor);
// Turns shipAxis onto shipDirection (which it normalises) and writes the rotation into
// shipRotation, keeping a finite orientation in the degenerate cases.
void updateShipRotation();
// The scene's own state back to its start values, for tests and tools that replay a run. The
// model records stay loaded and starList becomes 0 (initScene or buildStarField makes a new
// one). A full replay also needs cameraReset(), frameTimer.reset() with framesPerSecond = 0,
// resetRandom() and resetShellState(), each owned by its own module.
void resetSceneState();
