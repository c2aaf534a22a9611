#include "app/resources.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
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
    auto found = std::find_if(std::begin(resources), std::end(resources),
                              [id](const EmbeddedResource& r) { return r.id == id; });
    return found != std::end(resources) ? found : nullptr;
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
    auto [entry, first] = decoded.try_emplace(id);
    std::string message = "resource " + std::to_string(id) + ": not built into the program";
    const EmbeddedResource* resource = findResource(id);
    if (first && (resource == nullptr || !decodeResource(*resource, &entry->second, &message))) {
        std::fprintf(stderr, "velmora: %s; %s\n", message.c_str(),
                     id == IDI_VELMORA ? "the window has no icon"
                                       : "the About panel shows no picture");
    }
    return entry->second;
}
