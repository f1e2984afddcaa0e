// How much of the heap the process holds, for people and scripts looking for leaks.
#pragma once

namespace ruvane::view {

// Bytes handed out by the allocator and not given back (the sanitizer's own count in
// sanitizer builds, whose allocator is another).
long heapInUseBytes();

}  // namespace ruvane::view
