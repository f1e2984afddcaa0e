#include "adapter/midi_event_block.h"

#include <cstddef>
#include <cstring>
#include <new>

namespace {
constexpr std::size_t kBlockBytes = offsetof(VstEvents, events) + sizeof(VstEvent*) * CMidiEventBlock::kCapacity;

VstEvent** slotsOf(VstEvents* header) {
    return reinterpret_cast<VstEvent**>(reinterpret_cast<std::byte*>(header) + offsetof(VstEvents, events));
}
}  // namespace

CMidiEventBlock::CMidiEventBlock()
    : header_(new (::operator new(kBlockBytes)) VstEvents{}), events_(std::make_unique<VstMidiEvent[]>(kCapacity)) {
    VstEvent** slots = slotsOf(header_);
    for (int32_t i = 0; i < kCapacity; ++i) slots[i] = reinterpret_cast<VstEvent*>(&events_[i]);
}

CMidiEventBlock::~CMidiEventBlock() { ::operator delete(header_); }

bool CMidiEventBlock::Add(const uint8_t bytes[4], int32_t sampleOffset) {
    const int32_t count = header_->numEvents;
    if (count >= kCapacity) return false;
    VstMidiEvent& event = events_[count];
    std::memset(&event, 0, sizeof event);
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = sampleOffset;
    std::memcpy(event.midiData, bytes, sizeof event.midiData);
    header_->numEvents = count + 1;
    return true;
}
