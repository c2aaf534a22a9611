#include "view/options.h"

#include "ui/size_text.h"
#include "view/viewer.h"

#include <set>
#include <strings.h>

const char* const viewUsage =
    "usage: velmora-view FILE.obj [MORE.obj ...] [--watch] [--up AXIS]\n"
    "       velmora-view FILE.obj --output OUT.png [--size WxH | --size N] [--no-background]\n"
    "                    [--up AXIS] [--max-size MB]\n"
    "       velmora-view --help | --version\n"
    "Shows OBJ models tone-shaded with black outlines; H in the window lists the keys.\n"
    "--up says which axis of the file points up: +y (the default), +z, -y, -z, +x or -x.\n"
    "--max-size refuses files over MB megabytes (the thumbnailer passes 256).\n";

bool parseViewOptions(const std::vector<std::string>& args, ViewOptions* options,
                      std::string* error) {
    ViewOptions o;
    bool optionsEnded = false;
    std::set<std::string> given;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            o.files.push_back(arg);
            continue;
        }
        std::string value;
        bool inlineValue = false;
        if (const std::size_t equals = arg.find('=');
            arg.rfind("--", 0) == 0 && equals != arg.npos) {
            value = arg.substr(equals + 1);
            arg.resize(equals);
            inlineValue = true;
        }
        const bool takesValue = arg == "--output" || arg == "--size" || arg == "--bench-orbit" ||
                                arg == "--up" || arg == "--max-size";
        if (takesValue && !given.insert(arg).second) {
            *error = arg + " is given twice";
            return false;
        }
        if (takesValue && !inlineValue) {
            if (i + 1 == args.size()) {
                *error = arg + " needs a value";
                return false;
            }
            value = args[++i];
        } else if (!takesValue && inlineValue) {
            *error = arg + " takes no value";
            return false;
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--up") {
            o.up = upAxisNamed(value);
            if (o.up < 0) {
                *error = "--up wants +y, +z, -y, -z, +x or -x, not \"" + value + "\"";
                return false;
            }
        } else if (arg == "--max-size") {
            int megabytes = 0;
            if (!parseCount(value.data(), value.data() + value.size(), 1 << 20, &megabytes)) {
                *error = "--max-size wants megabytes from 1, not \"" + value + "\"";
                return false;
            }
            o.maxBytes = static_cast<long long>(megabytes) << 20;
        } else if (arg == "--watch") {
            o.watch = true;
        } else if (arg == "--no-background") {
            o.noBackground = true;
        } else if (arg == "--output") {
            if (value.empty()) {
                *error = "--output needs a file name";
                return false;
            }
            // The file is PNG whatever its name says, so a name that says otherwise is refused.
            if (value.size() < 4 || strcasecmp(value.c_str() + value.size() - 4, ".png") != 0) {
                *error = "--output writes PNG: name it .png, not \"" + value + "\"";
                return false;
            }
            o.output = value;
        } else if (arg == "--size") {
            // "N" is N x N, as thumbnailers pass it.
            const bool square = value.find('x') == std::string::npos;
            if (!parseSize(square ? value + "x" + value : value, 8192, &o.width, &o.height)) {
                *error = "--size wants N or WxH, each 1 to 8192, not \"" + value + "\"";
                return false;
            }
        } else if (arg == "--bench-orbit") {
            if (!parseCount(value.data(), value.data() + value.size(), 1000000, &o.benchOrbit)) {
                *error = "--bench-orbit wants a frame count, not \"" + value + "\"";
                return false;
            }
        } else {
            *error = "unknown option " + arg;
            return false;
        }
    }
    const bool headless = !o.output.empty() || o.benchOrbit > 0;
    if (o.help || o.version) {
        *options = o;
        return true;
    }
    if (o.files.empty()) {
        *error = "no model file given";
    } else if (headless && o.files.size() > 1) {
        *error = "a headless run draws one file, not " + std::to_string(o.files.size());
    } else if (headless && o.watch) {
        *error = "--watch needs the window";
    } else if (!headless && o.noBackground) {
        *error = "--no-background goes with --output";
    } else {
        *options = o;
        return true;
    }
    return false;
}
