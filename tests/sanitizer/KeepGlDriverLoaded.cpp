// Preloaded into sanitized test runs. Mesa unloads its DRI driver when the
// last display connection closes, and the leak checker, which runs later,
// then sees the driver's still-referenced allocations as leaks from an
// unknown module. Keeping the driver mapped keeps those references visible.
#include <dlfcn.h>

namespace {

struct KeepGlDriverLoaded {
    KeepGlDriverLoaded() { dlopen(VELMORA_GL_DRIVER, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE); }
};

const KeepGlDriverLoaded keepGlDriverLoaded;

} // namespace
