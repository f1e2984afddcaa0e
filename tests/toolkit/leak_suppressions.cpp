// Fontconfig keeps its configuration and font caches for the life of the process (cairo
// resolves "Arial" through it); the leak checker should not count those as leaks.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
