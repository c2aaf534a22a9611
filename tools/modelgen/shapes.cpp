#include "tools/modelgen/shapes.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace {

const double pi = 3.14159265358979323846;
const double degree = pi / 180.0;

Material material(const std::string& name, P3 diffuse, double shininess) {
    return Material{name, diffuse * 0.25, diffuse, P3{0.3, 0.3, 0.3}, shininess};
}

// n points, point k at(k).
template <typename At> std::vector<P3> ring(int n, At at) {
    std::vector<P3> points;
    for (int k = 0; k < n; ++k) {
        points.push_back(at(k));
    }
    return points;
}

// n points at(angle), the angles evenly spaced from 0 counter-clockwise.
template <typename At> std::vector<P3> circle(int n, At at) {
    return ring(n, [&](int k) { return at(2 * pi * k / n); });
}

// A profile (z, r) turned about the line through (x0, y0) parallel to z; r = 0 ends are tips.
// Points run counter-clockwise seen from +z.
std::vector<std::vector<P3>> lathe(const std::vector<std::pair<double, double>>& profile, double x0,
                                   double y0, int segments) {
    std::vector<std::vector<P3>> rings;
    for (const auto& [z, r] : profile) {
        rings.push_back(circle(segments, [&, z = z, r = r](double a) {
            return P3{x0 + r * std::cos(a), y0 + r * std::sin(a), z};
        }));
    }
    return rings;
}

// Catmull-Rom through the rows of `keys` (each row: parameter, then values), sampled at t.
std::vector<double> spline(const std::vector<std::vector<double>>& keys, double t) {
    std::size_t n = keys.size();
    std::size_t i = 0;
    while (i + 2 < n && t > keys[i + 1][0]) {
        ++i;
    }
    const auto& p1 = keys[i];
    const auto& p2 = keys[i + 1];
    const auto& p0 = i > 0 ? keys[i - 1] : p1;
    const auto& p3 = i + 2 < n ? keys[i + 2] : p2;
    double s = (t - p1[0]) / (p2[0] - p1[0]);
    std::vector<double> out(p1.size());
    for (std::size_t c = 0; c < p1.size(); ++c) {
        double m1 = (p2[c] - p0[c]) * 0.5;
        double m2 = (p3[c] - p1[c]) * 0.5;
        double s2 = s * s;
        double s3 = s2 * s;
        out[c] = (2 * s3 - 3 * s2 + 1) * p1[c] + (s3 - 2 * s2 + s) * m1 +
                 (-2 * s3 + 3 * s2) * p2[c] + (s3 - s2) * m2;
    }
    return out;
}

// Symmetric four-digit aerofoil thickness (fraction of the chord) with a closed trailing edge.
double aerofoilThickness(double u, double ratio) {
    return 5 * ratio *
           (0.2969 * std::sqrt(u) - 0.1260 * u - 0.3516 * u * u + 0.2843 * u * u * u -
            0.1036 * u * u * u * u);
}

// One aerofoil section as a closed ring: trailing edge, upper surface forward, leading edge,
// lower surface back. place(along, across) maps chord fraction and thickness offset to space.
template <typename Place>
std::vector<P3> aerofoil(int perSide, double chord, double ratio, Place place) {
    std::vector<P3> section{place(1.0, 0.0)};
    // Upper surface for k < 0, the leading edge at k = 0 (where u and the thickness are 0).
    for (int k = 1 - perSide; k < perSide; ++k) {
        double u = 0.5 * (1 - std::cos(pi * std::abs(k) / perSide));
        double t = aerofoilThickness(u, ratio) * chord;
        section.push_back(place(u, k <= 0 ? t : -t));
    }
    return section;
}

double mix(double a, double b, double s) {
    return a + (b - a) * s;
}

// `count` aerofoil sections at s from 0 to 1, leading and trailing edges running straight from
// their z at s = 0 to their z at s = 1. at(s, t) places the point t off the chord line; the
// chord sets its z.
template <typename At>
std::vector<std::vector<P3>> blade(int count, double ratio, double lead0, double lead1,
                                   double trail0, double trail1, At at) {
    std::vector<std::vector<P3>> sections;
    for (int i = 0; i < count; ++i) {
        double s = static_cast<double>(i) / (count - 1);
        double lead = mix(lead0, lead1, s);
        double chord = lead - mix(trail0, trail1, s);
        sections.push_back(aerofoil(12, chord, ratio, [&](double u, double t) {
            P3 p = at(s, t);
            p.z = lead - u * chord;
            return p;
        }));
    }
    return sections;
}

// A closed solid of its own.
void loftSolid(Mesh& m, const std::vector<std::vector<P3>>& rings, bool capFirst, bool capLast) {
    m.beginSolid();
    m.loft(rings, capFirst, capLast);
    m.endSolid();
}

} // namespace

Mesh buildSpaceship() {
    Mesh m("spaceship");
    m.materials = {material("hull", P3{0.75, 0.78, 0.82}, 300),
                   material("canopy", P3{0.10, 0.20, 0.35}, 900),
                   material("wing", P3{0.60, 0.62, 0.66}, 200),
                   material("engine", P3{0.35, 0.35, 0.38}, 150),
                   material("cannon", P3{0.25, 0.25, 0.25}, 100),
                   material("fin", P3{0.70, 0.20, 0.15}, 200)};

    // Fuselage: superelliptic sections along z, nose (+z) to a flat tail plate.
    // Rows: z, half-width, half-height, centre height.
    const std::vector<std::vector<double>> body = {
        {-1.50, 0.24, 0.17, 0.03}, {-1.35, 0.31, 0.22, 0.03}, {-0.90, 0.37, 0.26, 0.03},
        {-0.30, 0.38, 0.27, 0.02}, {0.30, 0.35, 0.25, 0.00},  {0.90, 0.28, 0.20, -0.03},
        {1.40, 0.19, 0.14, -0.05}, {1.80, 0.09, 0.07, -0.07}, {2.00, 0.00, 0.00, -0.08}};
    const int around = 40;
    const int stations = 44;
    std::vector<std::vector<P3>> rings;
    for (int i = 0; i < stations; ++i) {
        // Denser towards the nose, where the curvature is.
        double s = static_cast<double>(i) / (stations - 1);
        double z = -1.50 + 3.50 * (1 - (1 - s) * (1 - s) * 0.35 - 0.65 * (1 - s));
        std::vector<double> v = spline(body, z);
        double w = std::max(v[1], 0.0);
        double h = std::max(v[2], 0.0);
        if (i == stations - 1) {
            w = 0;
            h = 0;
        }
        rings.push_back(circle(around, [&](double a) {
            double c = std::cos(a);
            double sn = std::sin(a);
            double x = w * (c < 0 ? -1 : 1) * std::pow(std::fabs(c), 0.8);
            double y = v[3] + h * (sn < 0 ? -1 : 1) * std::pow(std::fabs(sn), 0.8);
            return P3{x, y, z};
        }));
    }
    m.part("hull", "hull", Corners::Plain);
    loftSolid(m, rings, true, false);

    // Canopy: a long bubble half sunk into the top, ahead of the wings.
    const double canopyZ = 0.55;
    const double canopyHalfLength = 0.55;
    std::vector<std::vector<P3>> canopy;
    for (int i = 0; i <= 14; ++i) {
        double t = pi * i / 14;
        double z = canopyZ + canopyHalfLength * std::cos(t);
        double r = std::sin(t);
        double dz = (z - canopyZ) / canopyHalfLength;
        canopy.push_back(circle(20, [&](double a) {
            return P3{r * std::cos(a) * 0.18, 0.21 + r * std::sin(a) * 0.17 - 0.05 * dz, z};
        }));
    }
    m.part("canopy", "canopy", Corners::Normals);
    loftSolid(m, canopy, false, false);

    // Swept wings with slight dihedral, cannons on the tips.
    m.part("wings", "wing", Corners::Plain);
    const double rootX = 0.20;
    const double tipX = 1.95;
    for (int side = -1; side <= 1; side += 2) {
        auto wing = blade(9, 0.09, 0.35, -0.75, -1.15, -1.40, [&](double s, double t) {
            return P3{side * mix(rootX, tipX, s), -0.06 + 0.12 * s + t, 0};
        });
        loftSolid(m, wing, true, true);
    }
    m.part("cannons", "cannon", Corners::Plain);
    const std::vector<std::pair<double, double>> cannon = {
        {0.80, 0.0},    {0.74, 0.022},  {0.20, 0.026},  {0.16, 0.040},
        {-0.95, 0.040}, {-1.05, 0.055}, {-1.45, 0.055}, {-1.45, 0.0}};
    for (int side = -1; side <= 1; side += 2) {
        loftSolid(m, lathe(cannon, side * (tipX + 0.02), 0.06, 12), false, false);
    }

    // Engines: nacelles along the fuselage's flanks with an intake cone and a recessed nozzle.
    m.part("engines", "engine", Corners::TexCoordsNormals);
    const std::vector<std::pair<double, double>> engine = {
        {-0.25, 0.0},  {-0.28, 0.07}, {-0.36, 0.13}, {-0.48, 0.165}, {-0.65, 0.18}, {-1.45, 0.18},
        {-1.58, 0.17}, {-1.70, 0.19}, {-1.76, 0.19}, {-1.76, 0.145}, {-1.66, 0.0}};
    for (int side = -1; side <= 1; side += 2) {
        loftSolid(m, lathe(engine, side * 0.47, -0.10, 24), false, false);
    }

    // Tail fin, swept back, rising from the upper rear.
    m.part("fin", "fin", Corners::TexCoords);
    auto fin = blade(7, 0.10, -0.55, -1.25, -1.45, -1.58, [](double s, double t) {
        return P3{t, 0.18 + 0.62 * s, 0};
    });
    loftSolid(m, fin, true, true);
    return m;
}

Mesh buildDeathstar() {
    Mesh m("deathstar");
    m.materials = {material("hull", P3{0.55, 0.56, 0.58}, 100),
                   material("dish", P3{0.35, 0.36, 0.40}, 400),
                   material("trench", P3{0.20, 0.20, 0.22}, 50)};

    const int around = 80;
    const double trenchHalf = 2.2 * degree;
    const double trenchRadius = 0.95;
    auto direction = [](double lat, double lon) {
        return P3{std::cos(lat) * std::sin(lon), std::sin(lat), std::cos(lat) * std::cos(lon)};
    };

    // The dish: the near cap of a ball of radius 0.45 whose centre lies 1.3 out along d, cut out
    // of the unit sphere; its rim is where the two spheres meet.
    const double dishLat = 32 * degree;
    const double dishLon = 0.0;
    P3 d = direction(dishLat, dishLon);
    P3 south = normalized(direction(dishLat - 0.5 * pi, dishLon));
    // Growing longitude, so that ring points of the same index around the dish and around the
    // trench run the same way.
    P3 east = direction(0, dishLon + 0.5 * pi);
    const double ballDistance = 1.3;
    const double ballRadius = 0.45;
    P3 ballCentre = d * ballDistance;
    double rimPsi = std::acos((ballDistance * ballDistance + ballRadius * ballRadius - 1) /
                              (2 * ballDistance * ballRadius));
    auto aroundDish = [&](double phi) { return south * std::cos(phi) + east * std::sin(phi); };
    auto dishPoint = [&](double psi, double phi) {
        return ballCentre + (d * -std::cos(psi) + aroundDish(phi) * std::sin(psi)) * ballRadius;
    };

    auto bowl = [&](double psi) {
        return circle(around, [&](double phi) { return dishPoint(psi, phi); });
    };
    std::vector<P3> rim = bowl(rimPsi);
    m.part("dish", "dish", Corners::Normals);
    m.beginSolid();
    // A small focusing cone stands in the middle of the bowl.
    std::vector<std::vector<P3>> dish{std::vector<P3>(around, dishPoint(0, 0) + d * 0.06)};
    const int bowlRings = 8;
    for (int i = 0; i < bowlRings; ++i) {
        dish.push_back(bowl(0.09 + (rimPsi - 0.09) * i / bowlRings));
    }
    dish.push_back(rim);
    m.loft(dish, false, false);

    // The ring at latitude `lat` on a sphere of `radius`.
    auto latitude = [&](double lat, double radius) {
        return circle(around, [&](double a) { return direction(lat, dishLon + a) * radius; });
    };
    // Northern hull: from the rim out to the trench's upper edge, each ring point moving along
    // the great circle from its rim point to the trench point of the same index.
    std::vector<P3> trenchTop = latitude(trenchHalf, 1);
    std::vector<P3> trenchBottom = latitude(-trenchHalf, 1);
    m.part("hull_north", "hull", Corners::TexCoords);
    std::vector<std::vector<P3>> north{rim};
    const int northRows = 24;
    for (int i = 1; i < northRows; ++i) {
        double f = static_cast<double>(i) / northRows;
        north.push_back(ring(around, [&](int j) {
            P3 a = normalized(rim[j]);
            P3 b = trenchTop[j];
            double omega = std::acos(std::max(-1.0, std::min(1.0, dot(a, b))));
            double wa = std::sin((1 - f) * omega) / std::sin(omega);
            double wb = std::sin(f * omega) / std::sin(omega);
            return a * wa + b * wb;
        }));
    }
    north.push_back(trenchTop);
    m.loft(north, false, false);

    m.part("trench", "trench", Corners::Plain);
    m.loft({trenchTop, latitude(trenchHalf, trenchRadius), latitude(-trenchHalf, trenchRadius),
            trenchBottom},
           false, false);

    m.part("hull_south", "hull", Corners::TexCoords);
    std::vector<std::vector<P3>> southRings{trenchBottom};
    const int southRows = 22;
    for (int i = 1; i < southRows; ++i) {
        southRings.push_back(latitude(-trenchHalf - (0.5 * pi - trenchHalf) * i / southRows, 1));
    }
    // The south pole, a tip.
    southRings.push_back(std::vector<P3>(around, P3{0, -1, 0}));
    m.loft(southRings, false, false);
    m.endSolid();

    // The hull must bulge outwards everywhere: a folded triangle would face inwards.
    for (const MeshPart& part : m.parts) {
        if (part.group != "hull_north" && part.group != "hull_south") {
            continue;
        }
        for (const auto& t : part.triangles) {
            P3 a = m.positions[t[0]];
            P3 b = m.positions[t[1]];
            P3 c = m.positions[t[2]];
            if (!(dot(cross(b - a, c - a), a + b + c) > 0)) {
                throw std::runtime_error("deathstar: a hull triangle folds inwards");
            }
        }
    }
    return m;
}

Mesh buildLego() {
    Mesh m("lego");
    m.materials = {material("brick", P3{0.80, 0.10, 0.10}, 500),
                   material("stud", P3{0.80, 0.10, 0.10}, 500)};

    // One stud pitch is 1; the classic proportions: height 1.2, stud radius 0.3, stud height
    // 0.2125. Each stud sits in a unit cell whose square border is sampled in the directions of
    // the stud's segments, so neighbouring cells share their border points.
    const int columns = 4;
    const int rows = 2;
    const double height = 1.2;
    const double studRadius = 0.3;
    const double studHeight = 0.2125;
    const int segments = 24; // a multiple of 8, so the cell corners are among the directions
    // Rings about the centre (cx, cz) of a cell at height y: the cell's border scaled by `scale`,
    // and a circle of radius r.
    auto border = [&](double cx, double cz, double y, double scale) {
        return circle(segments, [&](double a) {
            double c = std::cos(a);
            double s = std::sin(a);
            double t = 0.5 / std::max(std::fabs(c), std::fabs(s));
            return P3{cx + c * t * scale, y, cz + s * t * scale};
        });
    };
    auto roundRing = [&](double cx, double cz, double y, double r) {
        return circle(segments, [&](double a) {
            return P3{cx + std::cos(a) * r, y, cz + std::sin(a) * r};
        });
    };
    auto eachCell = [&](auto f) {
        for (int i = 0; i < columns; ++i) {
            for (int j = 0; j < rows; ++j) {
                f(i + 0.5, j + 0.5);
            }
        }
    };

    m.part("top", "brick", Corners::Plain);
    m.beginSolid();
    eachCell([&](double cx, double cz) {
        m.loft({border(cx, cz, height, 1), border(cx, cz, height, 0.9),
                roundRing(cx, cz, height, studRadius + 0.04),
                roundRing(cx, cz, height, studRadius)},
               false, false);
    });
    m.part("studs", "stud", Corners::Normals);
    eachCell([&](double cx, double cz) {
        m.loft({roundRing(cx, cz, height, studRadius),
                roundRing(cx, cz, height + studHeight - 0.03, studRadius),
                roundRing(cx, cz, height + studHeight, studRadius - 0.03)},
               false, true);
    });

    // Sides: the border points along the outline, counter-clockwise like the cells' rings, at
    // four heights; the rows close to the edges keep the smoothed normals in a narrow band.
    m.part("sides", "brick", Corners::Plain);
    {
        std::vector<std::pair<double, double>> outline;
        auto side = [&](double x0, double z0, double dx, double dz, int cells) {
            for (int c = 0; c < cells; ++c) {
                for (int k = -segments / 8; k < segments / 8; ++k) {
                    double o = 0.5 * std::tan(2 * pi * k / segments);
                    double along = c + 0.5 + o;
                    outline.push_back({x0 + dx * along, z0 + dz * along});
                }
            }
        };
        side(0, 0, 1, 0, columns);
        side(columns, 0, 0, 1, rows);
        side(columns, rows, -1, 0, columns);
        side(0, rows, 0, -1, rows);
        std::vector<std::vector<P3>> walls;
        for (double y : {0.0, 0.04, height - 0.04, height}) {
            walls.push_back(ring(static_cast<int>(outline.size()), [&](int k) {
                return P3{outline[k].first, y, outline[k].second};
            }));
        }
        m.loft(walls, false, false);
    }

    m.part("bottom", "brick", Corners::Plain);
    // Inner ring first, so that the border runs against the walls' lowest ring; the inset keeps
    // the smoothed edge normals in a narrow band, as on the top.
    eachCell([&](double cx, double cz) {
        m.loft({border(cx, cz, 0, 0.9), border(cx, cz, 0, 1)}, true, false);
    });
    m.endSolid();
    return m;
}

Mesh buildSurface() {
    Mesh m("surface");
    m.materials = {material("ground", P3{0.55, 0.60, 0.50}, 80),
                   material("underside", P3{0.35, 0.35, 0.38}, 20)};

    // A wavy slab rather than a bare sheet: the flight path passes beneath it, and a
    // sheet seen from behind has only back faces, which the outline pass turns into a net of
    // black lines. The underside follows the waves so the slab reads as one rippled plate.
    // The ship rests at (5, -2, -5) with the camera's eye goal beside it at (5, -1, -8); once
    // the scene scales the slab by 10 both lie beneath a broad rise over that corner, so the
    // opening view looks at the ship under a rippled ceiling rather than at the slab from
    // inside it. The slab is 1.5 world units thick: the 16-bit depth buffer must still tell its
    // two faces apart some 100 units away, or the underside's outline shows through the top.
    const int n = 40;
    const double thickness = 0.15;
    const double amplitude = 0.6;
    auto height = [amplitude](double x, double z) {
        double waves =
            0.13 * std::sin(3.1 * x + 0.4) * std::cos(2.3 * z - 0.3) +
            0.07 * std::sin(4.7 * (0.6 * x + 0.8 * z)) +
            0.04 * std::cos(6.0 * std::sqrt((x - 0.3) * (x - 0.3) + (z + 0.2) * (z + 0.2)));
        double rise = 0.2 * std::exp(-((x - 0.5) * (x - 0.5) + (z + 0.65) * (z + 0.65)) / 0.08);
        return amplitude * waves + rise;
    };
    std::vector<std::vector<int>> top(n + 1, std::vector<int>(n + 1));
    std::vector<std::vector<int>> bottom(n + 1, std::vector<int>(n + 1));
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j) {
            double x = -1 + 2.0 * i / n;
            double z = -1 + 2.0 * j / n;
            Uv uv{static_cast<double>(i) / n, static_cast<double>(j) / n};
            top[i][j] = m.vertex(P3{x, height(x, z), z}, uv);
            bottom[i][j] = m.vertex(P3{x, height(x, z) - thickness, z}, uv);
        }
    }
    m.part("surface", "ground", Corners::TexCoordsNormals);
    m.beginSolid();
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            m.quad(top[i][j], top[i][j + 1], top[i + 1][j + 1], top[i + 1][j]);
        }
    }
    m.part("underside", "underside", Corners::Plain);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            m.quad(bottom[i][j], bottom[i + 1][j], bottom[i + 1][j + 1], bottom[i][j + 1]);
        }
    }
    // Each rim quad runs along its top edge against the top face's direction, so every edge
    // is shared by two faces in opposite directions.
    auto rim = [&](int ai, int aj, int bi, int bj) {
        m.quad(top[ai][aj], top[bi][bj], bottom[bi][bj], bottom[ai][aj]);
    };
    for (int k = 0; k < n; ++k) {
        rim(0, k + 1, 0, k);
        rim(k + 1, n, k, n);
        rim(n, k, n, k + 1);
        rim(k, 0, k + 1, 0);
    }
    m.endSolid();
    return m;
}

Mesh buildTorus() {
    Mesh m("torus");
    m.materials = {material("ring_light", P3{0.85, 0.85, 0.85}, 300),
                   material("ring_dark", P3{0.45, 0.45, 0.45}, 300)};
    const int around = 64;
    const int tube = 24;
    const double major = 1.0;
    const double minor = 0.42;
    std::vector<std::vector<int>> ids(around, std::vector<int>(tube));
    for (int i = 0; i < around; ++i) {
        double u = 2 * pi * i / around;
        for (int j = 0; j < tube; ++j) {
            double v = 2 * pi * j / tube;
            double r = major + minor * std::cos(v);
            ids[i][j] =
                m.vertex(P3{r * std::cos(u), minor * std::sin(v), r * std::sin(u)},
                         Uv{static_cast<double>(i) / around, static_cast<double>(j) / tube});
        }
    }
    auto band = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            for (int j = 0; j < tube; ++j) {
                int i1 = (i + 1) % around;
                int j1 = (j + 1) % tube;
                m.quad(ids[i][j], ids[i][j1], ids[i1][j1], ids[i1][j]);
            }
        }
    };
    m.part("torus_light", "ring_light", Corners::TexCoords);
    m.beginSolid();
    band(0, around / 2);
    m.part("torus_dark", "ring_dark", Corners::Plain);
    band(around / 2, around);
    m.endSolid();
    return m;
}
