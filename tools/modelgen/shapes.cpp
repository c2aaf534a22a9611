#include "tools/modelgen/shapes.h"

#include <cmath>
#include <stdexcept>

namespace {

const double pi = 3.14159265358979323846;
const double degree = pi / 180.0;

Material material(const std::string& name, P3 diffuse, double shininess) {
    return Material{name, diffuse * 0.25, diffuse, P3{0.3, 0.3, 0.3}, shininess};
}

// A profile (z, r) turned about the line through (x0, y0) parallel to z; r = 0 ends are tips.
// Points run counter-clockwise seen from +z.
std::vector<std::vector<P3>> lathe(const std::vector<std::pair<double, double>>& profile, double x0,
                                   double y0, int segments, double squashY = 1.0) {
    std::vector<std::vector<P3>> rings;
    for (const auto& [z, r] : profile) {
        std::vector<P3> ring;
        for (int k = 0; k < segments; ++k) {
            double a = 2 * pi * k / segments;
            ring.push_back(P3{x0 + r * std::cos(a), y0 + r * squashY * std::sin(a), z});
        }
        rings.push_back(ring);
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
    std::vector<P3> ring;
    ring.push_back(place(1.0, 0.0));
    for (int k = perSide - 1; k >= 1; --k) {
        double u = 0.5 * (1 - std::cos(pi * k / perSide));
        ring.push_back(place(u, aerofoilThickness(u, ratio) * chord));
    }
    ring.push_back(place(0.0, 0.0));
    for (int k = 1; k < perSide; ++k) {
        double u = 0.5 * (1 - std::cos(pi * k / perSide));
        ring.push_back(place(u, -aerofoilThickness(u, ratio) * chord));
    }
    return ring;
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
        std::vector<P3> ring;
        for (int k = 0; k < around; ++k) {
            double a = 2 * pi * k / around;
            double c = std::cos(a);
            double sn = std::sin(a);
            double x = w * (c < 0 ? -1 : 1) * std::pow(std::fabs(c), 0.8);
            double y = v[3] + h * (sn < 0 ? -1 : 1) * std::pow(std::fabs(sn), 0.8);
            ring.push_back(P3{x, y, z});
        }
        rings.push_back(ring);
    }
    m.part("hull", "hull", Corners::Plain);
    m.beginSolid();
    m.loft(rings, true, false);
    m.endSolid();

    // Canopy: a long bubble half sunk into the top, ahead of the wings.
    {
        const double zc = 0.55;
        const double a = 0.55;
        std::vector<std::pair<double, double>> profile;
        const int n = 14;
        for (int i = 0; i <= n; ++i) {
            double t = pi * i / n;
            profile.push_back({zc + a * std::cos(t), std::sin(t)});
        }
        auto canopy = lathe(profile, 0.0, 0.0, 20);
        for (auto& ring : canopy) {
            for (P3& p : ring) {
                double dz = (p.z - zc) / a;
                p.x *= 0.18;
                p.y = 0.21 + p.y * 0.17 - 0.05 * dz;
            }
        }
        m.part("canopy", "canopy", Corners::Normals);
        m.beginSolid();
        m.loft(canopy, false, false);
        m.endSolid();
    }

    // Swept wings with slight dihedral, cannons on the tips.
    m.part("wings", "wing", Corners::Plain);
    const double rootX = 0.20;
    const double tipX = 1.95;
    for (int side = -1; side <= 1; side += 2) {
        std::vector<std::vector<P3>> wing;
        const int spans = 9;
        for (int i = 0; i < spans; ++i) {
            double s = static_cast<double>(i) / (spans - 1);
            double x = rootX + (tipX - rootX) * s;
            double lead = 0.35 + (-0.75 - 0.35) * s;
            double trail = -1.15 + (-1.40 + 1.15) * s;
            double chord = lead - trail;
            double y = -0.06 + 0.12 * s;
            wing.push_back(aerofoil(12, chord, 0.09, [&](double u, double t) {
                return P3{side * x, y + t, lead - u * chord};
            }));
        }
        m.beginSolid();
        m.loft(wing, true, true);
        m.endSolid();
    }
    m.part("cannons", "cannon", Corners::Plain);
    for (int side = -1; side <= 1; side += 2) {
        const std::vector<std::pair<double, double>> profile = {
            {0.80, 0.0},    {0.74, 0.022},  {0.20, 0.026},  {0.16, 0.040},
            {-0.95, 0.040}, {-1.05, 0.055}, {-1.45, 0.055}, {-1.45, 0.0}};
        m.beginSolid();
        m.loft(lathe(profile, side * (tipX + 0.02), 0.06, 12), false, false);
        m.endSolid();
    }

    // Engines: nacelles along the fuselage's flanks with an intake cone and a recessed nozzle.
    m.part("engines", "engine", Corners::TexCoordsNormals);
    for (int side = -1; side <= 1; side += 2) {
        const std::vector<std::pair<double, double>> profile = {
            {-0.25, 0.0},  {-0.28, 0.07},  {-0.36, 0.13}, {-0.48, 0.165},
            {-0.65, 0.18}, {-1.45, 0.18},  {-1.58, 0.17}, {-1.70, 0.19},
            {-1.76, 0.19}, {-1.76, 0.145}, {-1.66, 0.0}};
        m.beginSolid();
        m.loft(lathe(profile, side * 0.47, -0.10, 24), false, false);
        m.endSolid();
    }

    // Tail fin, swept back, rising from the upper rear.
    m.part("fin", "fin", Corners::TexCoords);
    {
        std::vector<std::vector<P3>> fin;
        const int heights = 7;
        for (int i = 0; i < heights; ++i) {
            double s = static_cast<double>(i) / (heights - 1);
            double y = 0.18 + 0.62 * s;
            double lead = -0.55 + (-1.25 + 0.55) * s;
            double trail = -1.45 + (-1.58 + 1.45) * s;
            double chord = lead - trail;
            fin.push_back(aerofoil(12, chord, 0.10, [&](double u, double t) {
                return P3{t, y, lead - u * chord};
            }));
        }
        m.beginSolid();
        m.loft(fin, true, true);
        m.endSolid();
    }
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

    std::vector<P3> rim;
    for (int j = 0; j < around; ++j) {
        rim.push_back(dishPoint(rimPsi, 2 * pi * j / around));
    }
    m.part("dish", "dish", Corners::Normals);
    m.beginSolid();
    {
        std::vector<std::vector<P3>> dish;
        // A small focusing cone stands in the middle of the bowl.
        P3 bottom = dishPoint(0, 0);
        dish.push_back(std::vector<P3>(around, bottom + d * 0.06));
        const int bowlRings = 8;
        for (int i = 0; i < bowlRings; ++i) {
            double psi = 0.09 + (rimPsi - 0.09) * i / bowlRings;
            std::vector<P3> ring;
            for (int j = 0; j < around; ++j) {
                ring.push_back(dishPoint(psi, 2 * pi * j / around));
            }
            dish.push_back(ring);
        }
        dish.push_back(rim);
        m.loft(dish, false, false);
    }

    // Northern hull: from the rim out to the trench's upper edge, each ring point moving along
    // the great circle from its rim point to the trench point of the same index.
    std::vector<P3> trenchTop;
    std::vector<P3> trenchBottom;
    for (int j = 0; j < around; ++j) {
        double lon = dishLon + 2 * pi * j / around;
        trenchTop.push_back(direction(trenchHalf, lon));
        trenchBottom.push_back(direction(-trenchHalf, lon));
    }
    m.part("hull_north", "hull", Corners::TexCoords);
    {
        std::vector<std::vector<P3>> north{rim};
        const int rows = 24;
        for (int i = 1; i < rows; ++i) {
            double f = static_cast<double>(i) / rows;
            std::vector<P3> ring;
            for (int j = 0; j < around; ++j) {
                P3 a = normalized(rim[j]);
                P3 b = trenchTop[j];
                double omega = std::acos(std::max(-1.0, std::min(1.0, dot(a, b))));
                double wa = std::sin((1 - f) * omega) / std::sin(omega);
                double wb = std::sin(f * omega) / std::sin(omega);
                ring.push_back(a * wa + b * wb);
            }
            north.push_back(ring);
        }
        north.push_back(trenchTop);
        m.loft(north, false, false);
    }

    m.part("trench", "trench", Corners::Plain);
    {
        std::vector<P3> innerTop;
        std::vector<P3> innerBottom;
        for (int j = 0; j < around; ++j) {
            innerTop.push_back(trenchTop[j] * trenchRadius);
            innerBottom.push_back(trenchBottom[j] * trenchRadius);
        }
        m.loft({trenchTop, innerTop, innerBottom, trenchBottom}, false, false);
    }

    m.part("hull_south", "hull", Corners::TexCoords);
    {
        std::vector<std::vector<P3>> southRings{trenchBottom};
        const int rows = 22;
        for (int i = 1; i <= rows; ++i) {
            double lat = -trenchHalf - (0.5 * pi - trenchHalf) * i / rows;
            if (i == rows) {
                lat = -0.5 * pi;
            }
            std::vector<P3> ring;
            for (int j = 0; j < around; ++j) {
                double lon = dishLon + 2 * pi * j / around;
                ring.push_back(i == rows ? P3{0, -1, 0} : direction(lat, lon));
            }
            southRings.push_back(ring);
        }
        m.loft(southRings, false, false);
    }
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
    auto border = [&](int k) {
        double a = 2 * pi * k / segments;
        double c = std::cos(a);
        double s = std::sin(a);
        double t = 0.5 / std::max(std::fabs(c), std::fabs(s));
        return std::pair<double, double>{c * t, s * t};
    };
    auto circle = [&](int k, double r) {
        double a = 2 * pi * k / segments;
        return std::pair<double, double>{std::cos(a) * r, std::sin(a) * r};
    };

    m.part("top", "brick", Corners::Plain);
    m.beginSolid();
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            double cx = i + 0.5;
            double cz = j + 0.5;
            std::vector<std::vector<P3>> top(4);
            for (int k = 0; k < segments; ++k) {
                auto [bx, bz] = border(k);
                top[0].push_back(P3{cx + bx, height, cz + bz});
                top[1].push_back(P3{cx + bx * 0.9, height, cz + bz * 0.9});
                auto [ax, az] = circle(k, studRadius + 0.04);
                top[2].push_back(P3{cx + ax, height, cz + az});
                auto [sx, sz] = circle(k, studRadius);
                top[3].push_back(P3{cx + sx, height, cz + sz});
            }
            m.loft(top, false, false);
        }
    }
    m.part("studs", "stud", Corners::Normals);
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            double cx = i + 0.5;
            double cz = j + 0.5;
            std::vector<std::vector<P3>> stud(3);
            for (int k = 0; k < segments; ++k) {
                auto [sx, sz] = circle(k, studRadius);
                stud[0].push_back(P3{cx + sx, height, cz + sz});
                stud[1].push_back(P3{cx + sx, height + studHeight - 0.03, cz + sz});
                auto [tx, tz] = circle(k, studRadius - 0.03);
                stud[2].push_back(P3{cx + tx, height + studHeight, cz + tz});
            }
            m.loft(stud, false, true);
        }
    }

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
            std::vector<P3> ring;
            for (const auto& [x, z] : outline) {
                ring.push_back(P3{x, y, z});
            }
            walls.push_back(ring);
        }
        m.loft(walls, false, false);
    }

    m.part("bottom", "brick", Corners::Plain);
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            double cx = i + 0.5;
            double cz = j + 0.5;
            // Inner ring first, so that the border runs against the walls' lowest ring; the
            // inset keeps the smoothed edge normals in a narrow band, as on the top.
            std::vector<std::vector<P3>> bottom(2);
            for (int k = 0; k < segments; ++k) {
                auto [bx, bz] = border(k);
                bottom[0].push_back(P3{cx + bx * 0.9, 0, cz + bz * 0.9});
                bottom[1].push_back(P3{cx + bx, 0, cz + bz});
            }
            m.loft(bottom, true, false);
        }
    }
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
