// The host-side chunk list of an instance as a file: "RVHS", a format version, the
// chunk count, then per chunk its id, name length, name, byte count and bytes (header
// included). Integers are little-endian 32-bit.
#pragma once

#include <string>
#include <vector>

#include "hostplatform/api/host_platform.h"

namespace ruvane::host {

using ChunkList = std::vector<hostplatform::PlugInInstance::Chunk>;

// Throws ToolError (kExitRenderFailed) when the file cannot be written.
void writeStateFile(const std::string& path, const ChunkList& chunks);
// Throws ToolError (kExitBadInput) for a missing, unreadable or malformed file.
ChunkList readStateFile(const std::string& path);

}  // namespace ruvane::host
