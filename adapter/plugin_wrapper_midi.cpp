// CPluginWrapper's MIDI into the effect: events queued by the host's render call and
// sent before the next processReplacing.
#include "adapter/plugin_wrapper.h"

void CPluginWrapper::QueueMidiEvent(const uint8_t* /*bytes*/, int32_t /*sampleOffset*/) {
    // MIDI into the effect comes with the host's MIDI routing; until then events are not taken.
}
