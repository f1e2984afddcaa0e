// Linked into every test program. Ruvane.so draws through cairo, which brings in pixman
// and fontconfig; they fill tables and caches once and keep them for the life of the
// process. When a test unloads the plug-in, those libraries would go with it and the
// leak checker of the sanitizer builds would count their tables as leaks from an
// unknown module. Keeping them loaded leaves it only the leaks of our own code.
#include <dlfcn.h>

#include <initializer_list>

namespace {

const bool kDrawingLibrariesKept = [] {
    for (const char* library : {"libpixman-1.so.0", "libfontconfig.so.1", "libcairo.so.2"}) {
        dlopen(library, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
    }
    return true;
}();

}  // namespace

// Fontconfig's caches are reached only through its own hashed structures.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
