// A tone-shaded model: one loaded GlmModel, its colour ramp texture and its two-pass drawing.
//
// Contract:
// - Life: zero storage -> load -> caller sets flags, shadeCount, lineWidth -> buildRamp once
//   -> draw once per frame. load overwrites flags and shadeCount, so settings go after it.
// - shadeCount must be a power of two from 2 to 128 (a GL 1.1 texture width and the size of the
//   ramp's working buffers); the caller holds it there.
// - buildRamp and draw need a current GL context. draw uses the model-view matrix in place.
// - Triangles must wind clockwise as seen from outside: the shaded pass culls GL_FRONT (the
//   counter-clockwise faces) and the outline pass draws the other faces' edges as lines.
// - lightDir is a unit vector in eye coordinates; each corner's texture coordinate is the
//   cosine between its eye-space normal and lightDir, clamped below at 0, worked out once per
//   normal each frame; the corners go to the GL as indexed arrays (positions built once). A corner
//   whose normal has no direction (zero length, or an index outside the model's normals) gets 0,
//   never NaN. A coordinate of exactly 1.0 wraps to texel 0 under the default GL_REPEAT.
// - A model that lies wholly outside the view volume, its outline's width included, is not
//   sent to the GL (its coordinates are not worked out that frame); every state change is made
//   as if it had been drawn.
// - After draw: texturing off with the ramp still bound to GL_TEXTURE_1D, cull face GL_FRONT,
//   depth function GL_LESS, blending off, front polygon mode fill, line smoothing as
//   TOON_SMOOTH_LINES asks, current colour white (no outline) or black (outline), line width
//   as the outline pass last set it. Without TOON_OUTLINE no depth, blend, line-width or
//   polygon-mode state is touched.
// - The record owns its model; neither the model nor the texture is ever released by the demo.
//   The corner arrays go with the record.
#pragma once

#include "math/vec3.h"
#include "model/glm.h"

#include <cstdint>
#include <vector>

constexpr std::int32_t TOON_RANDOM_SHADES = 1;
constexpr std::int32_t TOON_OUTLINE = 2;
constexpr std::int32_t TOON_SMOOTH_LINES = 4;
constexpr std::int32_t TOON_GRADIENT = 8;
// For a mesh with no consistent outside (open or inconsistently wound): faces seen from either
// side are filled, those seen from behind shaded with their normals turned toward the eye, and
// the outline is drawn along the silhouette and the open borders alone, as lines over the fill
// (which is pushed back by a polygon offset, turned off again after). It reads the facet normals
// (glmFacetNormals must have run) to find the silhouette. Without it the drawing is the two
// passes above.
constexpr std::int32_t TOON_TWO_SIDED = 16;

constexpr int toonMaxShades = 128;

// The ramp as a plain function of the settings, texel 0 first, RGB in [0, 1]. Draws
// shadeCount numbers from the program's random generator when TOON_RANDOM_SHADES is set.
// texels must hold shadeCount entries.
void computeToonRamp(std::int32_t flags, int shadeCount, const float* coolColor,
                     const float* warmColor, float texels[][3]);

// Smooths count (at least 2) grey levels in place from left to right, each entry seeing its
// left neighbour already smoothed, then clamps every level into [0, 1].
void smoothToonShades(float* shades, int count);

class ToonModel;
// Fills the corner arrays and boundRadius from the model (what the first draw does).
void buildToonCorners(ToonModel* toon);

// True when no vertex can reach the viewport: the sphere round the model's origin that holds
// them all lies beyond one clipping plane, widened by half the outline (the larger of the
// model's and the width in force) and a pixel on each side. Then every primitive of both
// passes would be clipped, and a renderer leaves the draws out. The scene has about two models
// in five out of view in any frame. Matrices column-major; a viewport without area is never
// outside.
bool toonOutsideView(const ToonModel& toon, const float* projection, const float* modelview,
                     int viewportWidth, int viewportHeight, float lineWidth);

// The eye (the origin of eye space) in the model's coordinates, from an affine model-view matrix
// (column-major) whose 3 x 3 part is invertible.
Vec3 toonEyeInModel(const float* modelview);

// buildRamp and draw are the renderer's: toon_gl11.cpp on the desktop, web/ in the page
// (scene/scene_render.h).
class ToonModel {
  public:
    std::int32_t flags;
    float lineWidth;
    Vec3 lightDir;
    std::uint32_t rampTexture;
    std::int32_t shadeCount;
    GlmModel* model;
    // Made by the first draw from the model. Corners that share a vertex and a normal are one
    // entry, numbered in order of first use: their positions (3 floats each), normal numbers and
    // ramp coordinates of the frame; the triangles' corners as entry numbers; the ramp
    // coordinate of each normal (0 for index 0).
    std::vector<float> cornerPositions;
    std::vector<std::uint32_t> cornerNormals;
    std::vector<float> cornerShades;
    std::vector<std::uint32_t> cornerIndices;
    std::vector<float> normalShades;
    // TOON_TWO_SIDED: the shades of the turned normals, per entry and per normal; the edges as
    // entry pairs with the triangles on either side (the second ~0u on a border, or where more
    // than two meet), and whether those two run the edge in opposite directions; the frame's
    // outline as line ends.
    std::vector<float> cornerBackShades;
    std::vector<float> normalBackShades;
    struct Edge {
        std::uint32_t ends[2];
        std::uint32_t triangles[2];
        bool opposite;
    };
    std::vector<Edge> edges;
    std::vector<float> outlineEnds;
    // The largest distance of a corner's position from the model's origin.
    float boundRadius;

    // Throws GlmFatalError when the reader does (file missing, malformed line).
    void load(const char* fileName);
    void buildRamp(const float* coolColor, const float* warmColor);
    void draw();
};
