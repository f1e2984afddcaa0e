// What the test process holds: heap in use, resident memory and open file descriptors,
// for tests that repeat work (open and close a window, say) and look for growth.
#pragma once

#include <malloc.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define RUVANE_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define RUVANE_TEST_SANITIZED 1
#endif
#endif
#ifdef RUVANE_TEST_SANITIZED
#include <sanitizer/allocator_interface.h>
#endif

namespace ruvane::testing {

// Sanitizer builds keep freed memory in quarantine and add shadow memory, so there the
// resident size grows by design and only the sanitizer's own heap count tells a leak.
constexpr bool kResidentSizeShowsLeaks =
#ifdef RUVANE_TEST_SANITIZED
    false;
#else
    true;
#endif

struct ProcessFootprint {
    long heapInUseBytes = 0;  // handed out by the allocator and not given back
    long residentBytes = 0;   // what the system gives the process, allocator reserves included
    int fileDescriptors = 0;

    static ProcessFootprint now() {
        ProcessFootprint footprint;
#ifdef RUVANE_TEST_SANITIZED
        footprint.heapInUseBytes = static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
        const struct mallinfo2 heap = mallinfo2();
        footprint.heapInUseBytes = static_cast<long>(heap.uordblks + heap.hblkhd);
#endif
        std::ifstream statm("/proc/self/statm");
        long pages = 0, resident = 0;
        statm >> pages >> resident;
        footprint.residentBytes = resident * sysconf(_SC_PAGESIZE);
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            ++footprint.fileDescriptors;
        }
        return footprint;
    }
};

}  // namespace ruvane::testing
