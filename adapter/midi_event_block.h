// One VstEvents block of the wrapper's MIDI exchange: room for 1024 event pointers, each
// owning one VstMidiEvent, all allocated once.
#pragma once

#include <cstdint>
#include <memory>

#include "vst/aeffect.h"

class CMidiEventBlock {
public:
    static constexpr int32_t kCapacity = 1024;

    CMidiEventBlock();
    ~CMidiEventBlock();
    CMidiEventBlock(const CMidiEventBlock&) = delete;
    CMidiEventBlock& operator=(const CMidiEventBlock&) = delete;

    // A MIDI message with its four bytes at sample offset; false (dropped) when full.
    bool Add(const uint8_t bytes[4], int32_t sampleOffset);
    int32_t Count() const { return header_->numEvents; }
    VstEvents* Events() { return header_; }
    const VstMidiEvent& At(int32_t index) const { return events_[index]; }
    void Clear() { header_->numEvents = 0; }

private:
    VstEvents* header_;  // numEvents, reserved, then kCapacity pointers
    std::unique_ptr<VstMidiEvent[]> events_;
};
