// Preloaded into velmora-capture to prove that --check-gl sees an error besides the torus's:
// every glClear also asks glEnable for a capability that does not exist (GL_INVALID_ENUM).
#include <dlfcn.h>

using GlClear = void (*)(unsigned int mask);
using GlEnable = void (*)(unsigned int cap);

extern "C" __attribute__((visibility("default"))) void glClear(unsigned int mask) {
    static auto realClear = reinterpret_cast<GlClear>(dlsym(RTLD_NEXT, "glClear"));
    static auto realEnable = reinterpret_cast<GlEnable>(dlsym(RTLD_NEXT, "glEnable"));
    realClear(mask);
    realEnable(0x1234);
}
