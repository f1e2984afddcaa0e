// The state chunks a process saves with the host's project: each has a four-character
// id, a name and an announced size (kVariableChunkSize when it varies).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int32_t kVariableChunkSize = -152;
inline constexpr int32_t kChunkHeaderBytes = 56;  // the host's header before every chunk's data

struct CChunkDescription {
    int32_t id = 0;
    std::string name;
    int32_t size = 0;
};

class CChunkList {
public:
    void Add(int32_t id, std::string name, int32_t size) { chunks_.push_back({id, std::move(name), size}); }
    const std::vector<CChunkDescription>& Chunks() const { return chunks_; }
    bool Has(int32_t id) const {
        for (const auto& chunk : chunks_)
            if (chunk.id == id) return true;
        return false;
    }

private:
    std::vector<CChunkDescription> chunks_;
};
