// Loads a plug-in module in a process without the host platform's libraries and says
// what it finds: the module must have opened itself at load. Used by module_test.cpp.
#include <dlfcn.h>

#include <cstdio>

#include "hostplatform/plugin_interface.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bare-loader MODULE\n");
        return 2;
    }
    void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    auto routine = reinterpret_cast<HPGetRoutineDescriptorProc>(dlsym(module, "_PI_GetRoutineDescriptor"));
    void* slot = nullptr;
    if (routine) routine(kHPRoutineFrameworkEntry, &slot);
    const auto* framework = slot ? reinterpret_cast<HPFrameworkEntryProc>(slot)() : nullptr;
    HPGroupInfo group{};
    if (framework && framework->GroupCount() == 1 && framework->GetGroupInfo(0, &group) == 0)
        std::printf("groups 1 types %d\n", group.typeCount);
    else
        std::printf("groups 0\n");
    dlclose(module);
    return 0;
}
