#include "app/resources.h"

#include <cstdio>
#include <map>

// Generated at build time from res/*.bmp (app/embed_resources.cmake).
extern const EmbeddedResource embeddedResources[];
extern const int embeddedResourceCount;

namespace {

std::string fileOf(int id) {
    return id == IDI_VELMORA ? "res/icon.bmp"
           : id == IDB_ABOUT ? "res/about.bmp"
                             : "resource " + std::to_string(id);
}

const char* consequenceOf(int id) {
    return id == IDI_VELMORA ? "the window has no icon" : "the About panel shows no picture";
}

} // namespace

const EmbeddedResource* findResource(int id) {
    for (int i = 0; i < embeddedResourceCount; ++i) {
        if (embeddedResources[i].id == id) {
            return &embeddedResources[i];
        }
    }
    return nullptr;
}

bool decodeResource(const EmbeddedResource& resource, Image* image, std::string* message) {
    std::string why;
    if (resource.data == nullptr || resource.size == 0) {
        why = "missing when the program was built";
    } else if (!platformDecodeBmp(resource.data, resource.size, image, &why)) {
        // why says it
    } else {
        return true;
    }
    *image = Image{};
    *message = std::string(resource.file) + ": " + why;
    return false;
}

const Image& resourceImage(int id) {
    static std::map<int, Image> decoded;
    if (auto it = decoded.find(id); it != decoded.end()) {
        return it->second;
    }
    Image& image = decoded[id];
    const EmbeddedResource* resource = findResource(id);
    std::string message;
    if (resource == nullptr) {
        message = fileOf(id) + ": not built into the program";
    } else if (decodeResource(*resource, &image, &message)) {
        return image;
    }
    std::fprintf(stderr, "velmora: %s; %s\n", message.c_str(), consequenceOf(id));
    return image;
}
