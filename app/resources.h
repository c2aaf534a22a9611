// The program's resources: the icon (101, res/icon.bmp: 32 x 32, 16 colours) and the About
// picture (105, res/about.bmp: 320 x 241, 24 bits). The assembler builds both into the
// executable from res/, so the program reads no resource file at run time.
//
// A resource that is not a BMP this can decode does not stop the program: the first request
// prints one line naming the file and what is wrong to standard error, and the picture is empty
// from then on (no window icon, an empty frame in the About panel).
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <string>

constexpr int IDI_VELMORA = 101;
constexpr int IDB_ABOUT = 105;

struct EmbeddedResource {
    int id;
    // The file it was built from, relative to the source tree, for messages.
    const char* file;
    const unsigned char* data;
    std::size_t size;
};

// The decoded picture of resource 101 or 105; empty when it is unusable or unknown.
const Image& resourceImage(int id);
// The bytes a resource was built from (null when none).
const EmbeddedResource* findResource(int id);
// Decodes one resource; on failure false and message is "FILE: what is wrong".
bool decodeResource(const EmbeddedResource& resource, Image* image, std::string* message);
