// Where the program reads its models from.
//
// data/ in the working directory comes first, so that a checkout runs its own models, not an
// installed copy. Without it: the installed copy (the configured prefix's share/velmora/data), the
// same place seen from the executable (a tree that `cmake --install --prefix` put elsewhere), then
// a data directory beside the executable (an unpacked archive). A place counts when it is a
// directory; whether it holds the models is for the loader to say.
#pragma once

#include <string>
#include <vector>

struct DataDir {
    // Ends with '/': what the model file names go after.
    std::string prefix;
    // Empty when a place was found. Else the prefix is "data/", so that the loader's message
    // names the file a user of a checkout expects, and this line ("PROGRAM: looked for the
    // models in A, B") goes after that message.
    std::string searched;
};

// The places in the order they are tried, "data" first, each once.
std::vector<std::string> dataDirPlaces(const std::string& executable);
DataDir chooseDataDir(const std::vector<std::string>& places, const std::string& program);
// This program's, from the executable /proc/self/exe names.
DataDir findDataDir();
