// Preloaded into sanitized test runs. Mesa unloads its DRI driver when the
// last display connection closes, and the leak checker, which runs later,
// then sees the driver's still-referenced allocations as leaks from an
// unknown module. Keeping the driver mapped keeps those references visible.
// libjpeg, which Qt's JPEG plugin loads and unloads, has thread-local
// storage: once it is unmapped, the leak checker's thread tracer reads a
// dangling block at exit and crashes. It stays mapped too.
#include <dlfcn.h>

namespace {

struct KeepGlDriverLoaded {
    KeepGlDriverLoaded()
    {
        dlopen(VELMORA_GL_DRIVER, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        dlopen("libjpeg.so.62", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    }
};

const KeepGlDriverLoaded keepGlDriverLoaded;

} // namespace
