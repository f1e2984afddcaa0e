// Opening and closing the gallery's window again and again leaves nothing behind:
// no memory growth, no file descriptors (X connections), no X windows. This is what
// ruvane-view --gallery does once per run, done 50 times in one process.
#include <gtest/gtest.h>

#include <set>

#include "effect/editor/layout.h"
#include "toolkit/frame.h"
#include "toolkit/platform_frame.h"
#include "tools/ruvane-view/gallery.h"
#include "tools/ruvane-view/top_level_window.h"
#include "process_footprint.h"
#include "view_support.h"

namespace ruvane::testing {
namespace {

constexpr int kCycles = 50;
constexpr int kWarmUpCycles = 3;
// Far below what one leaked gallery costs (its decoded bitmaps alone are megabytes),
// far above what the allocator's own bookkeeping moves.
constexpr long kAllowedGrowthBytes = 8L << 20;
// X.Org hands each client the ids below a 21-bit boundary (its default of 256 clients).
constexpr unsigned long kClientIdMask = ~((1UL << 21) - 1);

// Windows anywhere on the server made by any of the given clients.
int windowsOfClients(Display* display, Window window, const std::set<unsigned long>& clients) {
    Window root, parent;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return 0;
    int total = 0;
    for (unsigned int i = 0; i < count; ++i) {
        if (clients.count(children[i] & kClientIdMask) != 0) ++total;
        total += windowsOfClients(display, children[i], clients);
    }
    if (children != nullptr) XFree(children);
    return total;
}

TEST(GalleryWindowCycles, OpenAndCloseFiftyTimesLeavesNothingBehind) {
    TestDisplay display;
    RUVANE_REQUIRE_DISPLAY(display);
    std::set<unsigned long> clients;  // the X clients the cycles used (program and toolkit)

    auto cycle = [&] {
        view::TopLevelWindow window(static_cast<int>(layout::kEditorWidth), static_cast<int>(layout::kEditorHeight),
                                    "Ruvane cycles");
        view::Gallery gallery;
        ASSERT_TRUE(gallery.open(reinterpret_cast<void*>(window.windowId())));
        clients.insert(window.windowId() & kClientIdMask);
        ASSERT_NE(gallery.getFrame()->getPlatformFrame(), nullptr);
        clients.insert(gallery.getFrame()->getPlatformFrame()->getWindowId() & kClientIdMask);
        // Let it map, draw and take a few idle passes, as the program does.
        for (int pass = 0; pass < 3; ++pass) {
            window.handleEvents(10);
            gallery.idle();
        }
        gallery.close();
    };

    for (int i = 0; i < kWarmUpCycles; ++i) cycle();
    const ProcessFootprint before = ProcessFootprint::now();
    for (int i = 0; i < kCycles; ++i) {
        cycle();
        if (HasFatalFailure()) return;
    }
    const ProcessFootprint after = ProcessFootprint::now();

    XSync(display.get(), False);
    EXPECT_EQ(after.fileDescriptors, before.fileDescriptors) << "an X connection or file stays open per window";
    EXPECT_LT(after.heapInUseBytes - before.heapInUseBytes, kAllowedGrowthBytes)
        << "heap in use grew from " << before.heapInUseBytes << " to " << after.heapInUseBytes << " bytes";
    if (kResidentSizeShowsLeaks) {
        EXPECT_LT(after.residentBytes - before.residentBytes, kAllowedGrowthBytes)
            << "resident memory grew from " << before.residentBytes << " to " << after.residentBytes << " bytes";
    }
    EXPECT_GE(clients.size(), 2u);
    EXPECT_EQ(windowsOfClients(display.get(), display.root(), clients), 0) << "windows outlive their gallery";
}

}  // namespace
}  // namespace ruvane::testing
