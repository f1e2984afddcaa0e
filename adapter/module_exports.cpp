// wrapper.so's face to the host platform: the four exports, and module load and unload
// (ELF constructor and destructor) handing the open and close procedures to the host.
#include <dlfcn.h>
#include <link.h>

#include <cstdint>

#include "adapter/framework_entry.h"
#include "adapter/module_state.h"

#define WRAPPER_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Answered by WinPlugInOpen for any key but the host's.
constexpr int32_t kNotHostOpened = -1;

int32_t openProcedure() { return TheModule().Open(); }
int32_t closeProcedure() { return TheModule().Close(); }

// Module load: find our own handle and path, then hand the procedures to the host
// engine; without one, open at once.
__attribute__((constructor)) void moduleAttach() {
    Dl_info info{};
    struct link_map* self = nullptr;
    if (dladdr1(reinterpret_cast<void*>(&moduleAttach), &info, reinterpret_cast<void**>(&self), RTLD_DL_LINKMAP) &&
        info.dli_fname)
        TheModule().SetModuleFile(self, info.dli_fname);
    ModuleState& module = TheModule();
    if (module.Engine().RegisterOpenCloseProcs(module.Handle(), openProcedure, closeProcedure)) {
        module.SetProcsTakenByHost(true);
    } else if (openProcedure() != 0) {
        // A loader cannot be refused from here; the module stays without a group, and
        // the host finds no types in it.
    }
}

__attribute__((destructor)) void moduleDetach() {
    if (!TheModule().ProcsTakenByHost()) closeProcedure();
}

}  // namespace

WRAPPER_EXPORT int32_t NewPlugIn() { return TheModule().NewPlugIn(MakeWrapperGroup); }

WRAPPER_EXPORT int32_t WinPlugInOpen(int32_t key) {
    if (key != kHPHostOpenKey) {
        TheModule().SetHostOpened(false);
        return kNotHostOpened;
    }
    TheModule().SetHostOpened(true);
    return openProcedure();
}

WRAPPER_EXPORT int32_t WinPlugInClose() { return closeProcedure(); }

WRAPPER_EXPORT void _PI_GetRoutineDescriptor(int32_t routine, void** slot) {
    if (!slot) return;
    *slot = routine == kHPRoutineFrameworkEntry ? reinterpret_cast<void*>(&FrameworkEntry) : nullptr;
}
