#!/usr/bin/env bash
# scripts/view-model.sh torus|knot AROUND TUBE: writes a closed tube to standard output as OBJ, for
# the viewer's benchmark and its README picture: a torus, or a trefoil knot. AROUND x TUBE quads,
# so 2 x AROUND x TUBE triangles (1000 x 500 is a million). The triangles wind counter-clockwise
# seen from outside, as OBJ files from modelling programs do, not as the demo's models do, so
# the viewer's winding decision is what makes it draw right.
set -euo pipefail
if [ $# -ne 3 ] || [[ ! $1 =~ ^(torus|knot)$ ]] || [[ ! $2 =~ ^[0-9]+$ ]] || [[ ! $3 =~ ^[0-9]+$ ]] ||
    [ "$2" -lt 3 ] || [ "$3" -lt 3 ]; then
    echo "usage: scripts/view-model.sh torus|knot AROUND TUBE (each at least 3)" >&2
    exit 2
fi
exec awk -v shape="$1" -v around="$2" -v tube="$3" '
function curve(t, out) {
    # The knot winds twice about the z axis while it goes three times round the tube of a torus
    # of radii 2 and 1; the torus is its core circle alone.
    if (shape == "knot") {
        out[1] = (2 + cos(3 * t)) * cos(2 * t)
        out[2] = (2 + cos(3 * t)) * sin(2 * t)
        out[3] = sin(3 * t)
        out[4] = 2 * cos(2 * t); out[5] = 2 * sin(2 * t); out[6] = 0
    } else {
        out[1] = 2 * cos(t); out[2] = 2 * sin(t); out[3] = 0
        out[4] = 0; out[5] = 0; out[6] = 0
    }
}
BEGIN {
    pi = atan2(0, -1)
    radius = shape == "knot" ? 0.45 : 0.8
    print "# " shape " tube, " around " x " tube " quads, counter-clockwise seen from outside"
    for (i = 0; i < around; i++) {
        t = 2 * pi * i / around
        curve(t, p)
        curve(t + 1e-4, q)
        tx = q[1] - p[1]; ty = q[2] - p[2]; tz = q[3] - p[3]
        l = sqrt(tx * tx + ty * ty + tz * tz); tx /= l; ty /= l; tz /= l
        # The frame turns with the curve and closes on itself: "out" is away from the core
        # point of the torus (the z axis for the plain torus), less its part along the curve.
        ux = p[1] - p[4]; uy = p[2] - p[5]; uz = p[3] - p[6]
        d = ux * tx + uy * ty + uz * tz
        nx = ux - d * tx; ny = uy - d * ty; nz = uz - d * tz
        l = sqrt(nx * nx + ny * ny + nz * nz); nx /= l; ny /= l; nz /= l
        bx = ty * nz - tz * ny; by = tz * nx - tx * nz; bz = tx * ny - ty * nx
        for (j = 0; j < tube; j++) {
            v = 2 * pi * j / tube
            c = radius * cos(v); s = radius * sin(v)
            printf "v %.6f %.6f %.6f\n", p[1] + c * nx + s * bx, p[2] + c * ny + s * by,
                p[3] + c * nz + s * bz
        }
    }
    for (i = 0; i < around; i++) {
        i1 = (i + 1) % around
        for (j = 0; j < tube; j++) {
            j1 = (j + 1) % tube
            a = i * tube + j + 1; b = i1 * tube + j + 1
            c = i1 * tube + j1 + 1; e = i * tube + j1 + 1
            printf "f %d %d %d\nf %d %d %d\n", a, e, c, a, c, b
        }
    }
}'
