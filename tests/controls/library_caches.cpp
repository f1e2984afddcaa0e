// Text drawing makes cairo and fontconfig fill process-wide caches that they keep
// until exit. Emptying them after the last test lets the leak checker of the
// sanitizer builds see only what the code under test leaves behind.
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

namespace {

class LibraryCaches : public ::testing::Environment {
public:
    void TearDown() override {
        cairo_debug_reset_static_data();
        FcFini();
    }
};

const ::testing::Environment* const kLibraryCaches = ::testing::AddGlobalTestEnvironment(new LibraryCaches);

}  // namespace
