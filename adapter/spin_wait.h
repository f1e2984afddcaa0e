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

// Waits until flag reads false. The waits are one half of a handshake: each side raises
// its own flag and then reads the other's. Only sequentially consistent stores and
// loads on both sides rule out that each reads the other's flag still clear, so the
// load is seq_cst too (an acquire load may be ordered before the waiter's own store).
inline void SpinUntilClear(const std::atomic<bool>& flag) {
    unsigned round = 0;
    while (flag.load(std::memory_order_seq_cst)) SpinPause(round);
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
