// Mesh building and OBJ/MTL writing for the demo's generated models.
//
// Contract:
// - Shapes are built in any units and any triangle orientation per solid: endSolid turns each
//   closed solid so that it encloses positive volume. The writer then centres the model on the
//   origin, scales its largest extent to 2 and writes every triangle clockwise as seen from
//   outside, the winding the tone shader culls against.
// - Vertices are shared by position: asking twice for the same point gives the same vertex, so
//   seams and poles close by themselves. A triangle that names one vertex twice is dropped.
// - Output is a pure function of the shapes: fixed decimal formatting, no clock, no platform
//   randomness, so two runs write the same bytes.
// - Every check that fails (an open edge in a closed model, a degenerate or doubled triangle,
//   two vertices that meet after rounding) throws std::runtime_error naming the model.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

struct P3 {
    double x = 0;
    double y = 0;
    double z = 0;

    friend P3 operator+(P3 a, P3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend P3 operator-(P3 a, P3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend P3 operator*(P3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
    friend double dot(P3 a, P3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
    friend P3 cross(P3 a, P3 b) {
        return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    }
};
double length(P3 a);
P3 normalized(P3 a);

struct Uv {
    double u = 0;
    double v = 0;
};

// Which indices the faces of a group carry, so that the real data uses all four face formats
// of the reader.
enum class Corners { Plain, TexCoords, Normals, TexCoordsNormals };

struct MeshPart {
    std::string group;
    std::string material;
    Corners corners = Corners::Plain;
    std::vector<std::array<int, 3>> triangles; // counter-clockwise seen from outside
};

struct Material {
    std::string name;
    P3 ambient;
    P3 diffuse;
    P3 specular;
    double shininess = 0; // the library's 0 to 1000 scale
};

class Mesh {
  public:
    explicit Mesh(std::string name_) : name(std::move(name_)) {}

    int vertex(P3 p, Uv uv = {});
    void part(const std::string& group, const std::string& material, Corners corners);
    void triangle(int a, int b, int c);
    // a, b, c, d around the quad; split along the shorter diagonal.
    void quad(int a, int b, int c, int d);

    // A solid may run over several groups: it is everything added between begin and end.
    void beginSolid();
    void endSolid();

    // Rings of equal size joined in order, each ring's points in the same rotational order;
    // open ends get a fan to the ring's centre. A ring whose points all coincide is a tip.
    void loft(const std::vector<std::vector<P3>>& rings, bool capFirst, bool capLast);

    std::string name;
    std::vector<P3> positions;
    std::vector<Uv> uvs;
    std::vector<MeshPart> parts;
    std::vector<Material> materials;

  private:
    std::map<std::tuple<long long, long long, long long>, int> index;
    std::size_t solidPart = 0;
    std::size_t solidStart = 0;
    // Calls f on every triangle added since the last begin.
    template <typename F> void forSolid(F f) {
        for (std::size_t i = solidPart; i < parts.size(); ++i) {
            auto& triangles = parts[i].triangles;
            for (std::size_t t = i == solidPart ? solidStart : 0; t < triangles.size(); ++t) {
                f(triangles[t]);
            }
        }
    }
};

struct ModelFiles {
    std::string obj;
    std::string mtl;
    std::uint32_t triangleCount = 0;
};

// Centres, scales, checks and formats a finished mesh. `comment` opens both files.
ModelFiles writeModel(const Mesh& mesh, const std::string& comment);
