// velmora-modelgen [output directory]: writes the demo's five models and their material
// libraries (default directory "data"). The output is the same, byte for byte, on every run.
#include "tools/modelgen/shapes.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

namespace {

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "velmora-modelgen: can't write \"%s\".\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: velmora-modelgen [output directory]\n");
        return 2;
    }
    std::string dir = argc == 2 ? argv[1] : "data";
    struct Entry {
        Mesh (*build)();
        const char* comment;
    };
    const Entry entries[] = {
        {buildSpaceship, "Small spacecraft: fuselage, canopy, swept wings, engines; nose +z."},
        {buildDeathstar, "Battle station: sphere with a dish and an equatorial trench."},
        {buildLego, "2 x 4 toy building brick with eight studs."},
        {buildSurface, "Wavy height-field patch, visible from above (+y)."},
        {buildTorus, "Torus about the y axis."},
    };
    try {
        for (const Entry& entry : entries) {
            Mesh mesh = entry.build();
            ModelFiles files = writeModel(mesh, entry.comment);
            if (!writeFile(dir + "/" + mesh.name + ".obj", files.obj) ||
                !writeFile(dir + "/" + mesh.name + ".mtl", files.mtl)) {
                return 1;
            }
            std::printf("%s: %u triangles\n", mesh.name.c_str(), files.triangleCount);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velmora-modelgen: %s\n", error.what());
        return 1;
    }
    return 0;
}
