#include "tools/modelgen/mesh.h"

#include "model/glm.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

double length(P3 a) {
    return std::sqrt(dot(a, a));
}

P3 normalized(P3 a) {
    double l = length(a);
    return l > 0 ? a * (1.0 / l) : a;
}

namespace {

// Positions are shared when they agree to a millionth, the precision the files are written in.
long long key(double x) {
    return std::llround(x * 1e6);
}

[[noreturn]] void fail(const std::string& model, const std::string& what) {
    throw std::runtime_error(model + ": " + what);
}

// Fixed decimals without trailing zeros; never "-0".
std::string number(double x, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, x);
    std::string s = buffer;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') {
            s.pop_back();
        }
        if (s.back() == '.') {
            s.pop_back();
        }
    }
    if (s == "-0") {
        s = "0";
    }
    return s;
}

std::string triple(P3 p, int decimals) {
    return number(p.x, decimals) + " " + number(p.y, decimals) + " " + number(p.z, decimals);
}

// The model's files (the context) as the reader reads them, from memory.
bool readBackSource(void* context, const char* path, std::string* contents) {
    const auto* files = static_cast<const ModelFiles*>(context);
    *contents = std::string_view(path).ends_with(".mtl") ? files->mtl : files->obj;
    return true;
}

GlmWinding readBackWinding(const std::string& name, const ModelFiles& files) {
    glmSetFileSource(readBackSource, const_cast<ModelFiles*>(&files));
    GlmModel* model = glmReadOBJ((name + ".obj").c_str());
    glmSetFileSource(nullptr);
    GlmWinding winding = glmWinding(model);
    glmDeleteModel(model);
    return winding;
}

} // namespace

int Mesh::vertex(P3 p, Uv uv) {
    auto k = std::make_tuple(key(p.x), key(p.y), key(p.z));
    auto found = index.find(k);
    if (found != index.end()) {
        return found->second;
    }
    int i = static_cast<int>(positions.size());
    positions.push_back(p);
    uvs.push_back(uv);
    index.emplace(k, i);
    return i;
}

void Mesh::part(const std::string& group, const std::string& material, Corners corners) {
    parts.push_back(MeshPart{group, material, corners, {}});
}

void Mesh::triangle(int a, int b, int c) {
    if (a == b || b == c || a == c) {
        return;
    }
    parts.back().triangles.push_back({a, b, c});
}

void Mesh::quad(int a, int b, int c, int d) {
    if (length(positions[a] - positions[c]) <= length(positions[b] - positions[d])) {
        triangle(a, b, c);
        triangle(a, c, d);
    } else {
        triangle(a, b, d);
        triangle(b, c, d);
    }
}

void Mesh::beginSolid() {
    solidPart = parts.size() - 1;
    solidStart = parts.back().triangles.size();
}

void Mesh::endSolid() {
    double volume = 0;
    forSolid([&](std::array<int, 3>& t) {
        volume += dot(positions[t[0]], cross(positions[t[1]], positions[t[2]])) / 6.0;
    });
    if (volume < 0) {
        forSolid([](std::array<int, 3>& t) { std::swap(t[1], t[2]); });
    }
}

void Mesh::loft(const std::vector<std::vector<P3>>& rings, bool capFirst, bool capLast) {
    std::size_t n = rings.size();
    std::size_t m = rings[0].size();
    std::vector<std::vector<int>> ids(n, std::vector<int>(m));
    for (std::size_t i = 0; i < n; ++i) {
        if (rings[i].size() != m) {
            fail(name, "loft rings of different sizes");
        }
        for (std::size_t k = 0; k < m; ++k) {
            ids[i][k] = vertex(rings[i][k],
                               Uv{static_cast<double>(k) / m, static_cast<double>(i) / (n - 1)});
        }
    }
    for (std::size_t i = 0; i + 1 < n; ++i) {
        for (std::size_t k = 0; k < m; ++k) {
            std::size_t k1 = (k + 1) % m;
            quad(ids[i][k], ids[i][k1], ids[i + 1][k1], ids[i + 1][k]);
        }
    }
    auto cap = [&](std::size_t i, bool reverse) {
        bool tip = std::all_of(ids[i].begin(), ids[i].end(), [&](int v) { return v == ids[i][0]; });
        if (tip) {
            return;
        }
        P3 centre;
        for (const P3& p : rings[i]) {
            centre = centre + p;
        }
        int c = vertex(centre * (1.0 / m), Uv{0.5, static_cast<double>(i) / (n - 1)});
        for (std::size_t k = 0; k < m; ++k) {
            std::size_t k1 = (k + 1) % m;
            if (reverse) {
                triangle(c, ids[i][k1], ids[i][k]);
            } else {
                triangle(c, ids[i][k], ids[i][k1]);
            }
        }
    };
    if (capFirst) {
        cap(0, true);
    }
    if (capLast) {
        cap(n - 1, false);
    }
}

ModelFiles writeModel(const Mesh& mesh, const std::string& comment) {
    const std::string& name = mesh.name;

    // Only vertices that some triangle uses are written: the reader's normals step reports every
    // other one.
    std::vector<int> newIndex(mesh.positions.size(), -1);
    std::vector<int> order;
    for (const MeshPart& part : mesh.parts) {
        for (const auto& t : part.triangles) {
            for (int v : t) {
                newIndex[v] = 0;
            }
        }
    }
    for (std::size_t v = 0; v < mesh.positions.size(); ++v) {
        if (newIndex[v] == 0) {
            newIndex[v] = static_cast<int>(order.size());
            order.push_back(static_cast<int>(v));
        }
    }
    if (order.empty()) {
        fail(name, "no triangles");
    }

    // Centred on the origin, so that the reader's |max| + |min| extent is the true one and the
    // model comes out at full size.
    P3 lo = mesh.positions[order[0]];
    P3 hi = lo;
    for (int v : order) {
        const P3& p = mesh.positions[v];
        lo = P3{std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = P3{std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    P3 centre = (lo + hi) * 0.5;
    double extent = std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z});
    double scale = 2.0 / extent;
    std::vector<P3> p;
    std::map<std::tuple<long long, long long, long long>, int> seen;
    for (int v : order) {
        P3 q = (mesh.positions[v] - centre) * scale;
        q = P3{key(q.x) / 1e6, key(q.y) / 1e6, key(q.z) / 1e6};
        if (!seen.emplace(std::make_tuple(key(q.x), key(q.y), key(q.z)), 0).second) {
            fail(name, "two vertices meet after rounding at " + triple(q, 6));
        }
        p.push_back(q);
    }

    std::vector<P3> vertexNormal(p.size());
    for (const MeshPart& part : mesh.parts) {
        for (const auto& t : part.triangles) {
            P3 a = p[newIndex[t[0]]];
            P3 n = cross(p[newIndex[t[1]]] - a, p[newIndex[t[2]]] - a);
            if (length(n) < 1e-10) {
                fail(name, "degenerate triangle at " + triple(a, 6));
            }
            for (int v : t) {
                vertexNormal[newIndex[v]] = vertexNormal[newIndex[v]] + n;
            }
        }
    }

    for (const MeshPart& part : mesh.parts) {
        bool known = std::any_of(mesh.materials.begin(), mesh.materials.end(),
                                 [&](const Material& m) { return m.name == part.material; });
        if (!known) {
            fail(name, "group " + part.group + " uses the unknown material " + part.material);
        }
    }

    // Texture-coordinate and normal lines only for the vertices of groups that name them,
    // numbered in order of first use.
    ModelFiles files;
    std::vector<int> texIndex(p.size(), 0);
    std::vector<int> normalIndex(p.size(), 0);
    std::vector<int> texOrder;
    std::vector<int> normalOrder;
    std::string faces;
    for (const MeshPart& part : mesh.parts) {
        bool tex = part.corners == Corners::TexCoords || part.corners == Corners::TexCoordsNormals;
        bool nor = part.corners == Corners::Normals || part.corners == Corners::TexCoordsNormals;
        if (!part.triangles.empty()) {
            faces += "g " + part.group + "\nusemtl " + part.material + "\n";
        }
        for (const auto& t : part.triangles) {
            for (int old : t) {
                int v = newIndex[old];
                if (tex && texIndex[v] == 0) {
                    texOrder.push_back(old);
                    texIndex[v] = static_cast<int>(texOrder.size());
                }
                if (nor && normalIndex[v] == 0) {
                    normalOrder.push_back(v);
                    normalIndex[v] = static_cast<int>(normalOrder.size());
                }
            }
            faces += "f";
            // Stored counter-clockwise seen from outside; written clockwise.
            for (int old : {t[0], t[2], t[1]}) {
                // v, v/vt, v//vn or v/vt/vn.
                int v = newIndex[old];
                faces.append(" ").append(std::to_string(v + 1)).append(tex || nor ? "/" : "");
                faces += tex ? std::to_string(texIndex[v]) : "";
                faces.append(nor ? "/" : "").append(nor ? std::to_string(normalIndex[v]) : "");
            }
            faces += "\n";
            ++files.triangleCount;
        }
    }

    const std::string header =
        "# " + comment + "\n# Written by velmora-modelgen; regenerate rather than edit.\n";
    std::string& obj = files.obj;
    obj += header + "mtllib " + name + ".mtl\n";
    for (const P3& q : p) {
        obj += "v " + triple(q, 6) + "\n";
    }
    for (int old : texOrder) {
        obj += "vt " + number(mesh.uvs[old].u, 4) + " " + number(mesh.uvs[old].v, 4) + "\n";
    }
    for (int v : normalOrder) {
        obj += "vn " + triple(normalized(vertexNormal[v]), 4) + "\n";
    }
    obj += faces;

    std::string& mtl = files.mtl;
    mtl += header;
    for (const Material& m : mesh.materials) {
        mtl += "\nnewmtl " + m.name + "\n";
        mtl += "Ka " + triple(m.ambient, 3) + "\n";
        mtl += "Kd " + triple(m.diffuse, 3) + "\n";
        mtl += "Ks " + triple(m.specular, 3) + "\n";
        mtl += "Ns " + number(m.shininess, 1) + "\n";
    }
    // The check the inspector and the tests make: read back, the model is closed and wound
    // clockwise as seen from outside.
    if (readBackWinding(name, files) != GlmWinding::Clockwise) {
        fail(name, "does not read back as a closed mesh wound clockwise");
    }
    return files;
}
