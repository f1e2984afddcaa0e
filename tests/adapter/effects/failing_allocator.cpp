// An allocator put in front of the C++ runtime's (LD_PRELOAD), whose allocations a test
// program can make fail: used to see what a module's NewPlugIn answers when its plug-in
// group cannot be made.
#include <atomic>
#include <cstdlib>
#include <new>

namespace {

enum Mode { kAllocate = 0, kRefuseNothrow = 1, kRefuseThrowing = 2 };
std::atomic<int> mode{kAllocate};
std::atomic<int> refused{0};

void* allocate(std::size_t size) { return std::malloc(size ? size : 1); }

}  // namespace

// Sets the mode (0 allocate, 1 nothrow allocations answer null, 2 the others throw);
// answers how many allocations were refused since the last call.
extern "C" __attribute__((visibility("default"))) int failingAllocatorSetMode(int newMode) {
    mode.store(newMode);
    return refused.exchange(0);
}

void* operator new(std::size_t size) {
    if (mode.load() == kRefuseThrowing) {
        refused.fetch_add(1);
        throw std::bad_alloc();
    }
    if (void* memory = allocate(size)) return memory;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (mode.load() == kRefuseNothrow) {
        refused.fetch_add(1);
        return nullptr;
    }
    return allocate(size);
}
