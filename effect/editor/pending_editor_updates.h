// What the effect tells the editor, handed from whatever thread says it to the
// editor's own thread. Hosts call setParameter from the audio thread too (automation,
// MIDI controllers), and MIDI learn ends there; the toolkit and X11 may only be touched
// on the editor's thread. So the effect's side only stores into fixed atomic slots and
// sets dirty bits, without a lock and without allocating; the editor's idle takes the
// dirty set and shows the latest value of each. A value that changes several times
// between two idle passes is shown once, with its last value.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "effect/plugin/preset_system_effect.h"

namespace ruvane {

class PendingEditorUpdates {
public:
    static constexpr int kNumSlots = CPresetSystemEffect::kNumParameters;

    // Notifications that carry no value, as bits of one word.
    enum Event : uint32_t {
        kPresetRenamed = 1u << 0,  // the host renamed the current preset
        kTempoChanged = 1u << 1,   // the engine's tempo moved
        kLinkChanged = 1u << 2,    // a preset or the whole state was loaded: see linkState()
    };

    // Any thread.
    void postParameter(int index, float value) {
        if (index < 0 || index >= kNumSlots) return;
        values_[static_cast<std::size_t>(index)].store(value, std::memory_order_relaxed);
        // Release: whoever sees the bit also sees the value stored before it.
        dirty_[wordOf(index)].fetch_or(bitOf(index), std::memory_order_release);
    }
    void postEvent(Event event) { events_.fetch_or(event, std::memory_order_release); }
    void postLinkState(bool linked) {
        linked_.store(linked, std::memory_order_relaxed);
        postEvent(kLinkChanged);
    }

    // The editor's thread: calls apply(index, value) for every parameter posted since
    // the last call, in index order. A value posted while this runs is either applied
    // now or left for the next call; it is never lost.
    template <class Apply>
    void takeParameters(Apply&& apply) {
        for (std::size_t word = 0; word < kNumWords; ++word) {
            uint64_t bits = dirty_[word].exchange(0, std::memory_order_acquire);
            while (bits != 0) {
                const int bit = __builtin_ctzll(bits);
                bits &= bits - 1;
                const int index = static_cast<int>(word) * 64 + bit;
                apply(index, values_[static_cast<std::size_t>(index)].load(std::memory_order_relaxed));
            }
        }
    }
    uint32_t takeEvents() { return events_.exchange(0, std::memory_order_acquire); }
    bool linkState() const { return linked_.load(std::memory_order_relaxed); }

    // Drops everything posted so far (the editor reads the effect afresh when it opens).
    void clear() {
        for (auto& word : dirty_) word.store(0, std::memory_order_relaxed);
        events_.store(0, std::memory_order_relaxed);
    }

private:
    static constexpr std::size_t kNumWords = (kNumSlots + 63) / 64;
    static std::size_t wordOf(int index) { return static_cast<std::size_t>(index) / 64; }
    static uint64_t bitOf(int index) { return uint64_t{1} << (index % 64); }

    static_assert(std::atomic<float>::is_always_lock_free && std::atomic<uint64_t>::is_always_lock_free &&
                  std::atomic<uint32_t>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

    std::array<std::atomic<float>, kNumSlots> values_{};
    std::array<std::atomic<uint64_t>, kNumWords> dirty_{};
    std::atomic<uint32_t> events_{0};
    std::atomic<bool> linked_{false};
};

}  // namespace ruvane
