// "MIDI Connection Data" as a host hands it back: parsed without reading outside the
// block; a node id found is written and found again unchanged.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "adapter/midi_connection_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > INT32_MAX) return 0;
    std::unique_ptr<uint8_t[]> block(new uint8_t[size ? size : 1]);
    if (size) std::memcpy(block.get(), data, size);
    const auto found = FindMidiNodeId(size ? block.get() : nullptr, static_cast<int32_t>(size));
    if (found) {
        const auto written = WriteMidiConnectionData(true, *found);
        if (FindMidiNodeId(written.data(), static_cast<int32_t>(written.size())) != found) {
            std::fprintf(stderr, "midi_connection: a written node id reads back differently\n");
            std::abort();
        }
    }
    return 0;
}
