// Which way a model's triangles face outward, decided from the mesh alone, so that any OBJ file
// can go through the two-pass drawing (which needs to know which faces are the front ones).
#pragma once

#include "model/glm.h"

#include <string>

struct Orientation {
    // Closed: every edge used twice, in opposite directions (glmWinding's answer). Open: holes,
    // but no edge used twice in one direction. Mixed: some edge is (a doubled, flipped or
    // finned part), so no single front side exists.
    enum class Kind { Closed, Open, Mixed };
    Kind kind = Kind::Open;
    // Seen from outside. For an open or mixed mesh the side most of the area agrees with.
    bool counterClockwise = true;

    bool operator==(const Orientation&) const = default;
};

// Linear in the corners (a counting sort of the directed edges). An open mesh votes with each
// triangle's area times the cosine between its facet normal and the direction from the
// bounding box's centre to the triangle's centre; a tie (a flat sheet, no triangles) counts as
// counter-clockwise, the custom of OBJ files. Triangles that repeat a corner or name no vertex
// are left out of both tests.
Orientation decideOrientation(const GlmModel& model);

// For the status bar: "clockwise", "counter-clockwise", "open, mostly clockwise", ...,
// "mixed: no outline".
std::string orientationText(const Orientation& orientation);
