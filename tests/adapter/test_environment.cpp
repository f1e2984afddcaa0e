// What the adapter's test program holds for its whole run.
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

[[maybe_unused]] const auto* const kXServerKeeper = ::testing::AddGlobalTestEnvironment(new XServerKeeper);

}  // namespace
}  // namespace ruvane::testing
