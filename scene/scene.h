// The scene: five tone-shaded models in a sphere of stars, the ship flying the flight path and
// the camera trailing it.
//
// Contract:
// - initScene runs once with the GL context current and the model-view matrix selected; it
//   loads the five models from input.dataDir (a file that cannot be read throws GlmFatalError
//   from the loader), sets the models up, builds the star field and hands back the speed text.
//   It always returns true.
// - drawScene draws one frame into the back buffer and hands back the frame-rate text
//   ("FPS: %d Secs: %d"). It always returns true. It advances pathTime by
//   averageFrameTime / speedDivisor and wraps it at 7, so 0 <= pathTime < 7 after every frame.
// - What the scene reads from the shell comes in as SceneInput; the scene includes nothing of
//   the shell.
// - All of the scene's state, the camera and the frame timer among it, is the one record
//   `scene`, in static storage for the whole run; it is declared here so tools can trace it and
//   tests can check it. Only the scene writes it.
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
#include <string>

constexpr int frameTimeHistoryLength = 20;
constexpr int starCount = 3999;

// What the scene reads from the shell each frame.
struct SceneInput {
    // Path time advances by the average frame time divided by this; 1.0 to 10.0.
    float speedDivisor = 5.0f;
    bool freeCamera = false;
    bool showPath = false;
    // What initScene puts before "spaceship.obj" and the others: the program chooses where the
    // models are (an installed program finds them outside the working directory).
    std::string dataDir = "data/";
};

// Texts for the status bar; a text the call did not write stays empty.
struct SceneTexts {
    char speed[64] = "";
    char frameRate[64] = "";
};

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

bool initScene(const SceneInput& input, SceneTexts* texts);
bool drawScene(const SceneInput& input, SceneTexts* texts);
// Compiles the 3999 stars into a new display list and returns its name.
std::uint32_t buildStarField();
// "Speed: %f" of 1 / divisor: what the status bar shows as the speed.
void formatSpeedText(float speedDivisor, char (&text)[64]);

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
// A fresh run: everything in `scene` back to its start (the timer reads the counter source now
// installed), and the random generator too, so that set-up draws the same ramp and sky again.
// The model records stay loaded; starList becomes 0 (initScene or buildStarField makes a new
// one).
void resetScene();
