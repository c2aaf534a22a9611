// velmora-objinfo [--full] FILE.obj: loads a model through the demo's reader and prints what it
// holds as JSON, so a model can be checked before it goes into data/. Standard output carries
// only that JSON, whatever the file, so it can be piped to a JSON tool: the loader's notices go
// to standard error and into the report's "notices"; a file the reader refuses gives a report
// with its "error", the message on standard error too, and status 1. --help and --version exit
// 0, a bad option or a missing FILE 2.
#include "tools/objinfo/objinfo.h"

#include <CLI/CLI.hpp>
#include <cstdio>

namespace {

// Echoes each notice to standard error and keeps it, without its line end, in the list given
// as the context.
void collectNotice(void* context, GlmStream, const char* text) {
    std::fputs(text, stderr);
    std::string line = text;
    line.erase(line.find_last_not_of("\r\n") + 1); // npos + 1 is 0: all line ends
    static_cast<std::vector<std::string>*>(context)->push_back(line);
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Prints what the Velmora model reader makes of an OBJ file, as JSON."};
    bool full = false;
    std::string file;
    app.add_flag("--full", full, "Also list triangles, vertices and normals");
    app.add_option("FILE", file, "The OBJ file (its MTL libraries are read from its directory)")
        ->required();
    app.set_version_flag("--version", "velmora-objinfo " VELMORA_VERSION);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help and --version end well; anything else is a usage error, whatever CLI11's own
        // code for it.
        if (error.get_exit_code() == 0) {
            return app.exit(error);
        }
        std::fprintf(stderr, "velmora-objinfo: %s\n%s", error.what(), app.help().c_str());
        return 2;
    }

    std::vector<std::string> notices;
    glmSetMessageSink(collectNotice, &notices);
    GlmModel* model = nullptr;
    std::string report;
    int status = 0;
    try {
        model = glmReadOBJ(file.c_str());
        report = objinfoReport(model, full, notices);
    } catch (const GlmFatalError& error) {
        std::fputs(error.what(), stderr);
        std::string message = error.what();
        if (!message.empty() && message.back() == '\n') {
            message.pop_back();
        }
        report = objinfoFailure(file, message, notices);
        status = 1;
    }
    glmDeleteModel(model);
    std::fputs(report.c_str(), stdout);
    std::fputc('\n', stdout);
    return status;
}
