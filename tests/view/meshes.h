// Small OBJ texts for the viewer's tests: a cube [-1, 1]^3 wound either way, the same cube
// without its bottom (open), with its front turned round (mixed), and other shapes the winding
// decision has to tell apart.
#pragma once

#include <string>
#include <vector>

namespace meshes {

// Counter-clockwise seen from outside: -z, +z, -x, +x, -y, +y.
inline const std::vector<std::vector<int>> cubeQuads = {{1, 4, 3, 2}, {5, 6, 7, 8}, {1, 5, 8, 4},
                                                        {2, 3, 7, 6}, {1, 2, 6, 5}, {4, 8, 7, 3}};
constexpr int bottom = 4;
constexpr int front = 1;

inline std::string cubeVertices() {
    return "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
           "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n";
}

inline std::string triangle(int a, int b, int c) {
    return "f " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + "\n";
}

// Each quad as two triangles; `flip` turns the named quads round (all of them with -2);
// `skip` leaves one out.
inline std::string cube(bool clockwise, int flip = -1, int skip = -1) {
    std::string text = cubeVertices();
    for (int q = 0; q < 6; ++q) {
        if (q == skip) {
            continue;
        }
        const std::vector<int>& v = cubeQuads[q];
        if (clockwise != (q == flip || flip == -2)) {
            text += triangle(v[0], v[2], v[1]) + triangle(v[0], v[3], v[2]);
        } else {
            text += triangle(v[0], v[1], v[2]) + triangle(v[0], v[2], v[3]);
        }
    }
    return text;
}

} // namespace meshes
