// The adapter's threads meet only through flags; a side that must wait for the other
// spins with a processor pause and, when the wait grows long, gives up its time slice.
#pragma once

#include <atomic>
#include <thread>

inline void SpinPause(unsigned& round) {
    if (++round < 64) {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    } else {
        std::this_thread::yield();
    }
}

// Waits until flag reads false.
inline void SpinUntilClear(const std::atomic<bool>& flag) {
    unsigned round = 0;
    while (flag.load(std::memory_order_acquire)) SpinPause(round);
}

// Raises flag once nobody else holds it; lowered again by the scope's end.
class CSpinFlagScope {
public:
    explicit CSpinFlagScope(std::atomic<bool>& flag) : flag_(flag) {
        unsigned round = 0;
        bool expected = false;
        while (!flag_.compare_exchange_weak(expected, true, std::memory_order_seq_cst)) {
            expected = false;
            SpinPause(round);
        }
    }
    ~CSpinFlagScope() { flag_.store(false, std::memory_order_release); }
    CSpinFlagScope(const CSpinFlagScope&) = delete;
    CSpinFlagScope& operator=(const CSpinFlagScope&) = delete;

private:
    std::atomic<bool>& flag_;
};
