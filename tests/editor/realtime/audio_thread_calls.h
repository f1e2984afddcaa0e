// Counts what a marked thread asks of the system: heap allocations and frees, plain
// mutex locks, timed mutex locks (the engine's own lock is a timed one, the only lock
// the audio thread may take), file access, and calls into Xlib (the toolkit's way to
// the screen, which belongs to the editor's thread). Every call goes on to its library
// as usual; calls on threads that are not marked are not counted.
//
// The program replaces those entry points for the whole process, so it is a test
// program of its own. In sanitizer builds the sanitizer owns the C library's names:
// there allocations and frees are counted through its hooks, locks and files not at all.
#pragma once

namespace ruvane::testing {

struct AudioThreadCalls {
    long allocations = 0;
    long frees = 0;
    long plainLocks = 0;
    long timedLocks = 0;
    long fileAccess = 0;
    long windowSystem = 0;
};

// Counts the calls of the calling thread from now on (true) or no longer (false).
void countCallsOfThisThread(bool counting);
AudioThreadCalls countedCalls();
void resetCountedCalls();

// False where only allocations and frees can be counted (sanitizer builds).
bool locksAndOutputCounted();

}  // namespace ruvane::testing
