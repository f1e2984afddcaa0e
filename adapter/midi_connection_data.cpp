#include "adapter/midi_connection_data.h"

#include <cstring>
#include <map>
#include <string>

#include "adapter/framework/big_endian.h"

namespace {

constexpr uint8_t kBlockMark[4] = {1, 1, 1, 1};
constexpr char kIntegerPrefix[] = "l_";
constexpr std::size_t kPrefixLength = 2;
constexpr const char* kNodeKeys[] = {"Instance ID", "Node ID", "OMS Node ID"};

std::size_t paddedKeyBytes(std::size_t keyLength) { return (keyLength + 3 + 3) / 4 * 4; }

// Bytes of the value an entry with this key prefix carries; 0 for an unknown prefix.
std::size_t valueBytes(const std::string& key) {
    if (key.compare(0, kPrefixLength, "d_") == 0) return 8;
    if (key.compare(0, kPrefixLength, "l_") == 0 || key.compare(0, kPrefixLength, "f_") == 0 ||
        key.compare(0, kPrefixLength, "s_") == 0)
        return 4;
    return 0;
}

}  // namespace

std::vector<uint8_t> WriteMidiConnectionData(bool hasNode, int32_t nodeId) {
    std::vector<uint8_t> block(std::begin(kBlockMark), std::end(kBlockMark));
    if (!hasNode) return block;
    const std::string key = std::string(kIntegerPrefix) + kNodeKeys[0];
    const std::size_t keyStart = block.size();
    block.resize(keyStart + paddedKeyBytes(key.size()) + 4, 0);
    std::memcpy(block.data() + keyStart, key.data(), key.size());
    PutBigEndian32(block.data() + block.size() - 4, static_cast<uint32_t>(nodeId));
    return block;
}

std::optional<int32_t> FindMidiNodeId(const uint8_t* data, int32_t size) {
    if (!data || size < static_cast<int32_t>(sizeof kBlockMark)) return std::nullopt;
    if (std::memcmp(data, kBlockMark, sizeof kBlockMark) != 0) return std::nullopt;
    const std::size_t end = static_cast<std::size_t>(size);
    std::map<std::string, int32_t> integers;
    std::size_t at = sizeof kBlockMark;
    while (at < end) {
        const void* nul = std::memchr(data + at, '\0', end - at);
        if (!nul) break;  // a key running off the block's end
        const std::string key(reinterpret_cast<const char*>(data + at), static_cast<const uint8_t*>(nul) - (data + at));
        const std::size_t bytes = valueBytes(key);
        if (bytes == 0) break;  // an unknown kind: its length cannot be known
        const std::size_t valueAt = at + paddedKeyBytes(key.size());
        if (valueAt > end || bytes > end - valueAt) break;
        if (key.compare(0, kPrefixLength, kIntegerPrefix) == 0)
            integers.emplace(key.substr(kPrefixLength), static_cast<int32_t>(ReadBigEndian32(data + valueAt)));
        at = valueAt + bytes;
    }
    for (const char* name : kNodeKeys)
        if (auto found = integers.find(name); found != integers.end()) return found->second;
    return std::nullopt;
}
