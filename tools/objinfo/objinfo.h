// The model inspector's report: what the reader made of a file and what the demo's preparation
// (unit scaling, facet normals, vertex normals at 90 degrees, every normal normalised) turns it
// into, as one JSON object.
//
// - Floats are written with the fewest digits that read back to the same 32-bit value, doubles
//   with enough (up to 17 significant digits) to read back to the same 64-bit value.
// - Strings are escaped to plain ASCII; a byte that is not part of valid UTF-8 comes out as
//   U+FFFD, so the output is always valid JSON.
// - Winding: a mesh is closed when every edge is used by exactly two triangles, once in each
//   direction (a triangle naming a vertex twice, or no triangles at all, make it open). For a
//   closed mesh the sign of the enclosed volume, taken with the facet normal
//   (p1 - p0) x (p2 - p0), says whether that normal points out ("ccw": the corners turn
//   counter-clockwise seen from outside) or in ("cw"). A closed mesh that encloses no volume
//   has no outside and is reported "open".
#pragma once

#include "model/glm.h"

#include <string>
#include <vector>

// "cw", "ccw", "open" or "mixed" (some edge used twice in one direction, as the viewer says)
// for the model's triangles and current vertices.
const char* objinfoWinding(const GlmModel* model);

// Prepares `model` (freshly read) in place and returns the report, without a final line end.
// `notices` (read after the preparation, which adds its own) becomes the "notices" array.
std::string objinfoReport(GlmModel* model, bool full, const std::vector<std::string>& notices = {});
// What a file that cannot be read reports instead: its path, the reader's message and the
// notices before it.
std::string objinfoFailure(const std::string& path, const std::string& message,
                           const std::vector<std::string>& notices);
