// One handler per MIDI message kind. The process answers false to all of them: MIDI
// reaches the effect only through the wrapper's event queue.
#pragma once

#include <cstdint>

class MidiParse {
public:
    virtual ~MidiParse() = default;
    virtual bool NoteOff(uint8_t /*channel*/, uint8_t /*key*/, uint8_t /*velocity*/) { return false; }
    virtual bool NoteOn(uint8_t /*channel*/, uint8_t /*key*/, uint8_t /*velocity*/) { return false; }
    virtual bool PolyPressure(uint8_t /*channel*/, uint8_t /*key*/, uint8_t /*pressure*/) { return false; }
    virtual bool ControlChange(uint8_t /*channel*/, uint8_t /*controller*/, uint8_t /*value*/) { return false; }
    virtual bool ProgramChange(uint8_t /*channel*/, uint8_t /*program*/) { return false; }
    virtual bool ChannelPressure(uint8_t /*channel*/, uint8_t /*pressure*/) { return false; }
    virtual bool PitchBend(uint8_t /*channel*/, uint16_t /*value*/) { return false; }
    virtual bool SystemMessage(const uint8_t* /*bytes*/, int32_t /*size*/) { return false; }
};
