// What the scene draws, apart from how it is drawn: placements, the stars, the flight path and
// (through ToonModel::buildRamp and ToonModel::draw) the tone-shaded models.
//
// Contract:
// - Two renderers implement these functions and the two ToonModel members: GL 1.1 (the
//   *_gl11.cpp files of scene/ and toon/, in velmora_scene and velmora_toon) and WebGL 2
//   (web/). A program links exactly one, as it links one platform.
// - Placements compose as the GL's matrix operations do: each one multiplies onto the current
//   placement from the right, angles in degrees about an axis that need not be unit length,
//   matrices column-major. Everything drawn uses the placement current at the call.
// - Every function needs the renderer's context current (GL context or WebGL 2 context).
#pragma once

#include <cstdint>

// The state set-up gives: clear colour (0.3, 0.3, 0.3, 0), placements on the model-view.
void renderSetUp();
// The picture fills width x height pixels (height at least 1), seen through a 45-degree
// perspective from 0.1 to 2000 units; the placement starts over at the identity.
void renderViewport(int width, int height);
// Clears colour and depth and starts the frame's placement at the identity.
void renderBeginFrame();
// The camera: eye, centre and up, as gluLookAt takes them.
void renderLookAt(const double arguments[9]);
void renderPushPlacement();
void renderPopPlacement();
void renderTranslate(float x, float y, float z);
void renderRotate(float degrees, float x, float y, float z);
void renderScale(float x, float y, float z);
void renderMultiply(const float matrix[16]);
// The star field drawn by buildStarField (scene.h), two pixels a star, white.
void renderStars(std::uint32_t starField);
