#include "audio_thread_calls.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>

// Xlib last: its macros (None, Status, Bool) would clash with names in other headers.
#include <X11/Xlib.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define RUVANE_CALLS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define RUVANE_CALLS_SANITIZED 1
#endif
#endif
#ifdef RUVANE_CALLS_SANITIZED
#include <sanitizer/allocator_interface.h>
#endif

namespace {

// The executable's own thread-local flag: reading it never allocates.
thread_local bool countingThisThread = false;

std::atomic<long> allocations{0};
std::atomic<long> frees{0};
std::atomic<long> plainLocks{0};
std::atomic<long> timedLocks{0};
std::atomic<long> fileAccess{0};
std::atomic<long> windowSystem{0};

void count(std::atomic<long>& counter) {
    if (countingThisThread) counter.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

namespace ruvane::testing {

void countCallsOfThisThread(bool counting) { countingThisThread = counting; }

AudioThreadCalls countedCalls() {
    return {allocations.load(), frees.load(), plainLocks.load(), timedLocks.load(), fileAccess.load(),
            windowSystem.load()};
}

void resetCountedCalls() {
    for (auto* counter : {&allocations, &frees, &plainLocks, &timedLocks, &fileAccess, &windowSystem})
        counter->store(0);
}

bool locksAndOutputCounted() {
#ifdef RUVANE_CALLS_SANITIZED
    return false;
#else
    return true;
#endif
}

}  // namespace ruvane::testing

namespace {

template <class Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// The library's own entry point, looked up before main while one thread runs (a call
// before that looks it up itself).
template <class Function>
struct Next {
    const char* name;
    Function function = nullptr;
    Function get() {
        if (function == nullptr) function = next<Function>(name);
        return function;
    }
};

}  // namespace

#ifdef RUVANE_CALLS_SANITIZED

// The sanitizer's allocator calls these for every allocation and release in the process.
namespace {
const bool kHooksInstalled = [] {
    __sanitizer_install_malloc_and_free_hooks([](const volatile void*, size_t) { count(allocations); },
                                              [](const volatile void*) { count(frees); });
    return true;
}();
}  // namespace

#else

// The C library's allocator under its own names, which it exports for this purpose.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

namespace {

Next<int (*)(pthread_mutex_t*)> nextLock{"pthread_mutex_lock"};
Next<int (*)(pthread_mutex_t*, const timespec*)> nextTimedLock{"pthread_mutex_timedlock"};
Next<int (*)(pthread_mutex_t*, clockid_t, const timespec*)> nextClockLock{"pthread_mutex_clocklock"};
Next<FILE* (*)(const char*, const char*)> nextOpen{"fopen"};
Next<size_t (*)(const void*, size_t, size_t, FILE*)> nextWrite{"fwrite"};
Next<int (*)(const char*, FILE*)> nextPuts{"fputs"};
Next<int (*)(FILE*, const char*, va_list)> nextPrint{"vfprintf"};

const bool kEntriesFound = [] {
    nextLock.get();
    nextTimedLock.get();
    nextClockLock.get();
    nextOpen.get();
    nextWrite.get();
    nextPuts.get();
    nextPrint.get();
    return true;
}();

}  // namespace

extern "C" {

void* malloc(size_t size) {
    count(allocations);
    return __libc_malloc(size);
}

void* calloc(size_t number, size_t size) {
    count(allocations);
    return __libc_calloc(number, size);
}

void* realloc(void* block, size_t size) {
    count(allocations);
    return __libc_realloc(block, size);
}

void* memalign(size_t alignment, size_t size) {
    count(allocations);
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) {
    count(allocations);
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** block, size_t alignment, size_t size) {
    count(allocations);
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
    void* got = __libc_memalign(alignment, size);
    if (got == nullptr) return ENOMEM;
    *block = got;
    return 0;
}

void free(void* block) {
    if (block != nullptr) count(frees);
    __libc_free(block);
}

int pthread_mutex_lock(pthread_mutex_t* mutex) {
    count(plainLocks);
    return nextLock.get()(mutex);
}

int pthread_mutex_timedlock(pthread_mutex_t* mutex, const timespec* deadline) {
    count(timedLocks);
    return nextTimedLock.get()(mutex, deadline);
}

int pthread_mutex_clocklock(pthread_mutex_t* mutex, clockid_t clock, const timespec* deadline) {
    count(timedLocks);
    return nextClockLock.get()(mutex, clock, deadline);
}

// File access: the system calls directly, the stdio calls through the C library.
ssize_t write(int fd, const void* data, size_t size) {
    count(fileAccess);
    return syscall(SYS_write, fd, data, size);
}

ssize_t writev(int fd, const struct iovec* parts, int partCount) {
    count(fileAccess);
    return syscall(SYS_writev, fd, parts, partCount);
}

int open(const char* path, int flags, ...) {
    count(fileAccess);
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, int));
        va_end(arguments);
    }
    return static_cast<int>(syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}

FILE* fopen(const char* path, const char* mode) {
    count(fileAccess);
    return nextOpen.get()(path, mode);
}

size_t fwrite(const void* data, size_t size, size_t number, FILE* file) {
    count(fileAccess);
    return nextWrite.get()(data, size, number, file);
}

int fputs(const char* text, FILE* file) {
    count(fileAccess);
    return nextPuts.get()(text, file);
}

int vfprintf(FILE* file, const char* format, va_list arguments) {
    count(fileAccess);
    return nextPrint.get()(file, format, arguments);
}

int fprintf(FILE* file, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int written = vfprintf(file, format, arguments);
    va_end(arguments);
    return written;
}

int printf(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int written = vfprintf(stdout, format, arguments);
    va_end(arguments);
    return written;
}

}  // extern "C"

// operator new and delete over the counted allocator, whichever library calls them.
void* operator new(size_t size) {
    if (void* block = malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return malloc(size == 0 ? 1 : size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return malloc(size == 0 ? 1 : size); }
void* operator new(size_t size, std::align_val_t alignment) {
    const auto align = static_cast<size_t>(alignment);
    if (void* block = aligned_alloc(align, (size + align - 1) / align * align)) return block;
    throw std::bad_alloc();
}
void* operator new[](size_t size, std::align_val_t alignment) { return operator new(size, alignment); }
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }
void operator delete[](void* block, size_t) noexcept { free(block); }
void operator delete(void* block, std::align_val_t) noexcept { free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { free(block); }
void operator delete(void* block, size_t, std::align_val_t) noexcept { free(block); }
void operator delete[](void* block, size_t, std::align_val_t) noexcept { free(block); }

#endif

// Xlib: the calls by which the toolkit reads events and puts pictures on the screen.
namespace {

Next<int (*)(Display*)> nextFlush{"XFlush"};
Next<int (*)(Display*, Bool)> nextSync{"XSync"};
Next<int (*)(Display*)> nextPending{"XPending"};
Next<int (*)(Display*, XEvent*)> nextNextEvent{"XNextEvent"};
Next<int (*)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned)> nextPutImage{"XPutImage"};

const bool kWindowSystemFound = [] {
    nextFlush.get();
    nextSync.get();
    nextPending.get();
    nextNextEvent.get();
    nextPutImage.get();
    return true;
}();

}  // namespace

extern "C" {

int XFlush(Display* display) {
    count(windowSystem);
    return nextFlush.get()(display);
}

int XSync(Display* display, Bool discard) {
    count(windowSystem);
    return nextSync.get()(display, discard);
}

int XPending(Display* display) {
    count(windowSystem);
    return nextPending.get()(display);
}

int XNextEvent(Display* display, XEvent* event) {
    count(windowSystem);
    return nextNextEvent.get()(display, event);
}

int XPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int sourceX, int sourceY, int x, int y,
              unsigned width, unsigned height) {
    count(windowSystem);
    return nextPutImage.get()(display, drawable, gc, image, sourceX, sourceY, x, y, width, height);
}

}  // extern "C"
