// CPluginWrapper's MIDI into the effect: events queued by the host's render call and
// sent before the next processReplacing.
#include "adapter/plugin_wrapper.h"
#include "adapter/spin_wait.h"

void CPluginWrapper::QueueMidiEvent(const uint8_t bytes[4], int32_t sampleOffset) {
    if (!bytes) return;
    CSpinFlagScope writing(midiWriting_);
    midiBack_->Add(bytes, sampleOffset);  // a full block drops the event
}

// On the audio thread, inside Process: the filled block becomes the one sent.
void CPluginWrapper::SendQueuedMidi() {
    {
        CSpinFlagScope writing(midiWriting_);
        std::swap(midiBack_, midiFront_);
    }
    if (midiFront_->Count() > 0) Dispatch(effProcessEvents, 0, 0, midiFront_->Events(), 0.0f);
}
