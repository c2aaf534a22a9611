// The contexts of these tests live as long as the demo's would. The software driver keeps
// allocations for them that the leak checker would report; they are the driver's, not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:swrast_dri.so\nleak:libLLVM\nleak:libSDL2\n";
}
