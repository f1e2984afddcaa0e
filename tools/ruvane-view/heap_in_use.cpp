#include "tools/ruvane-view/heap_in_use.h"

#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define RUVANE_VIEW_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define RUVANE_VIEW_SANITIZED 1
#endif
#endif
#ifdef RUVANE_VIEW_SANITIZED
#include <sanitizer/allocator_interface.h>
#endif

namespace ruvane::view {

long heapInUseBytes() {
#ifdef RUVANE_VIEW_SANITIZED
    return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
    // Every arena: small blocks in use plus the large ones mapped on their own.
    const struct mallinfo2 heap = mallinfo2();
    return static_cast<long>(heap.uordblks + heap.hblkhd);
#endif
}

}  // namespace ruvane::view
