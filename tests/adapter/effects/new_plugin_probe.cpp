// Calls a module's exported NewPlugIn while allocations fail, as the failing allocator
// (LD_PRELOAD) makes them, and prints what it answered, one line per case:
//   CASE CODE groups N refused N
// CASE is "nothrow" (the group cannot be made), "throwing" (making the types throws) or
// "none" (nothing fails). Used by module_test.cpp.
#include <dlfcn.h>

#include <cstdio>

#include "hostplatform/api/host_platform.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: new-plugin-probe MODULE\n");
        return 2;
    }
    using SetMode = int (*)(int);
    auto setMode = reinterpret_cast<SetMode>(dlsym(RTLD_DEFAULT, "failingAllocatorSetMode"));
    if (!setMode) {
        std::fprintf(stderr, "new-plugin-probe: run it with the failing allocator in LD_PRELOAD\n");
        return 2;
    }
    ruvane::hostplatform::HostPlatform platform;
    std::string error;
    auto module = ruvane::hostplatform::PlugInModule::load(platform, argv[1], &error);
    if (!module) {
        std::fprintf(stderr, "new-plugin-probe: %s\n", error.c_str());
        return 1;
    }
    const struct {
        const char* name;
        int mode;
    } cases[] = {{"nothrow", 1}, {"throwing", 2}, {"none", 0}};
    for (const auto& c : cases) {
        setMode(c.mode);
        const int32_t code = module->newPlugIn();
        const int refused = setMode(0);
        std::printf("%s %d groups %d refused %d\n", c.name, code, module->groupCount(), refused);
    }
    return 0;
}
