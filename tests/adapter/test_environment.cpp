// What the adapter's test program holds for its whole run.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>

// After gtest: Xlib's macros would clash with its names.
#include <X11/Xlib.h>

namespace ruvane::testing {
namespace {

// One X connection, so the X server does not reset (and refuse connections for a
// moment) whenever a test closes the last of its own.
class XServerKeeper : public ::testing::Environment {
public:
    void SetUp() override {
        if (std::getenv("DISPLAY")) display_ = XOpenDisplay(nullptr);
    }
    void TearDown() override {
        if (display_) XCloseDisplay(display_);
        display_ = nullptr;
    }

private:
    Display* display_ = nullptr;
};

// Ruvane.so draws through cairo, which brings in pixman. Pixman allocates its tables
// once per load and never frees them, so each time the last instance unloads Ruvane.so
// and pixman goes with it, the leak checker would count those tables. Kept loaded here,
// as any host that draws with cairo itself keeps it.
class PixmanKeeper : public ::testing::Environment {
public:
    void SetUp() override { dlopen("libpixman-1.so.0", RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE); }
};

[[maybe_unused]] const auto* const kXServerKeeper = ::testing::AddGlobalTestEnvironment(new XServerKeeper);
[[maybe_unused]] const auto* const kPixmanKeeper = ::testing::AddGlobalTestEnvironment(new PixmanKeeper);

}  // namespace
}  // namespace ruvane::testing
