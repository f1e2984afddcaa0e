// "MIDI Connection Data": the instance's MIDI node identity as a typed key/value block.
// The block starts with the bytes 01 01 01 01; each entry is a key ("l_" 32-bit integer,
// "f_" float, "d_" double, "s_" 16-bit, then the name), NUL-terminated and padded with
// zeros to its length plus 3 rounded up to a multiple of 4, then the big-endian value
// (8 bytes for "d_", else 4, a 16-bit value in the first two).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// The block the instance saves: "Instance ID" only when it has a MIDI node.
std::vector<uint8_t> WriteMidiConnectionData(bool hasNode, int32_t nodeId);

// The node id a saved block names: "Instance ID", "Node ID" or "OMS Node ID", the first
// found in that order, each as a 32-bit integer entry. Nothing is read outside the block.
std::optional<int32_t> FindMidiNodeId(const uint8_t* data, int32_t size);
