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
//   the shell. What it keeps between frames is the record in scene/scene_state.h.
#pragma once

#include <cstdint>
#include <string>

constexpr int starCount = 3999;

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

bool initScene(const SceneInput& input, SceneTexts* texts);
bool drawScene(const SceneInput& input, SceneTexts* texts);
// Compiles the 3999 stars into a new display list and returns its name.
std::uint32_t buildStarField();
