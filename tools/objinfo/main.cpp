// velmora-objinfo [--full] FILE.obj: loads a model through the demo's reader and prints what it
// holds as JSON, so a model can be checked before it goes into data/. Reader failures print
// the reader's own message on its stream and end with status 1.
#include "tools/objinfo/objinfo.h"

#include <CLI/CLI.hpp>
#include <cstdio>

int main(int argc, char** argv) {
    CLI::App app{"Prints what the Velmora model reader makes of an OBJ file, as JSON."};
    bool full = false;
    std::string file;
    app.add_flag("--full", full, "Also list triangles, vertices and normals");
    app.add_option("FILE", file, "The OBJ file (its MTL libraries are read from its directory)")
        ->required();
    CLI11_PARSE(app, argc, argv);

    GlmModel* model = nullptr;
    std::string report;
    try {
        model = glmReadOBJ(file.c_str());
        report = objinfoReport(model, full);
    } catch (const GlmFatalError& error) {
        std::fflush(stdout); // notices printed so far stay ahead of the message
        glmPrintFatal(error);
        glmDeleteModel(model);
        return 1;
    }
    glmDeleteModel(model);
    std::fputs(report.c_str(), stdout);
    std::fputc('\n', stdout);
    return 0;
}
