#include "app/resources.h"

#include <cstdio>
#include <map>

// The bytes of the pictures, assembled in from the source tree's res/ (VELMORA_RES_DIR); the
// build names the files as dependencies of this source.
#define VELMORA_EMBED(symbol, file)                                                                \
    asm(".pushsection .rodata\n.balign 16\n.globl " #symbol "\n.hidden " #symbol "\n" #symbol      \
        ":\n.incbin \"" VELMORA_RES_DIR "/" file "\"\n.globl " #symbol "End\n.hidden " #symbol     \
        "End\n" #symbol "End:\n.popsection")
VELMORA_EMBED(velmoraIconBmp, "icon.bmp");
VELMORA_EMBED(velmoraAboutBmp, "about.bmp");
extern "C" const unsigned char velmoraIconBmp[], velmoraIconBmpEnd[];
extern "C" const unsigned char velmoraAboutBmp[], velmoraAboutBmpEnd[];

namespace {

const EmbeddedResource resources[] = {
    {IDI_VELMORA, "res/icon.bmp", velmoraIconBmp,
     static_cast<std::size_t>(velmoraIconBmpEnd - velmoraIconBmp)},
    {IDB_ABOUT, "res/about.bmp", velmoraAboutBmp,
     static_cast<std::size_t>(velmoraAboutBmpEnd - velmoraAboutBmp)},
};

} // namespace

const EmbeddedResource* findResource(int id) {
    for (const EmbeddedResource& resource : resources) {
        if (resource.id == id) {
            return &resource;
        }
    }
    return nullptr;
}

bool decodeResource(const EmbeddedResource& resource, Image* image, std::string* message) {
    std::string why;
    if (platformDecodeBmp(resource.data, resource.size, image, &why)) {
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
    std::string message = "resource " + std::to_string(id) + ": not built into the program";
    if (resource != nullptr && decodeResource(*resource, &image, &message)) {
        return image;
    }
    std::fprintf(stderr, "velmora: %s; %s\n", message.c_str(),
                 id == IDI_VELMORA ? "the window has no icon" : "the About panel shows no picture");
    return image;
}
