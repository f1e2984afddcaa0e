#include "tools/ruvane-host/state_file.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tools/ruvane-render/exit_codes.h"

namespace ruvane::host {
namespace {

using render::ToolError;
constexpr char kMagic[4] = {'R', 'V', 'H', 'S'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kMaxChunks = 1024;
constexpr uint32_t kMaxNameBytes = 1024;

void putWord(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xff));
}

class Reader {
public:
    Reader(const std::string& bytes, const std::string& path) : bytes_(bytes), path_(path) {}
    uint32_t word() {
        need(4);
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= uint32_t{static_cast<uint8_t>(bytes_[at_ + i])} << (8 * i);
        at_ += 4;
        return value;
    }
    std::string take(std::size_t count) {
        need(count);
        std::string part = bytes_.substr(at_, count);
        at_ += count;
        return part;
    }
    bool atEnd() const { return at_ == bytes_.size(); }
    [[noreturn]] void fail(const std::string& why) const {
        throw ToolError(render::kExitBadInput, "'" + path_ + "' is not a ruvane-host state file (" + why + ")");
    }

private:
    void need(std::size_t count) const {
        if (count > bytes_.size() - at_) fail("it ends early");
    }
    const std::string& bytes_;
    const std::string& path_;
    std::size_t at_ = 0;
};

}  // namespace

void writeStateFile(const std::string& path, const ChunkList& chunks) {
    std::string out(kMagic, sizeof kMagic);
    putWord(out, kVersion);
    putWord(out, static_cast<uint32_t>(chunks.size()));
    for (const auto& chunk : chunks) {
        putWord(out, static_cast<uint32_t>(chunk.id));
        putWord(out, static_cast<uint32_t>(chunk.name.size()));
        out += chunk.name;
        putWord(out, static_cast<uint32_t>(chunk.bytes.size()));
        out.append(reinterpret_cast<const char*>(chunk.bytes.data()), chunk.bytes.size());
    }
    // Written beside the target and renamed over it, so a failure leaves no torn file.
    const std::string temporary = path + ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(out.data(), static_cast<std::streamsize>(out.size()));
        if (!file.flush())
            throw ToolError(render::kExitRenderFailed, "cannot write the state file '" + path + "'; check the folder");
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw ToolError(render::kExitRenderFailed, "cannot write the state file '" + path + "'; check the folder");
    }
}

ChunkList readStateFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw ToolError(render::kExitBadInput, "cannot read the state file '" + path + "'");
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Reader reader(bytes, path);
    if (reader.take(sizeof kMagic) != std::string(kMagic, sizeof kMagic)) reader.fail("no RVHS mark");
    if (reader.word() != kVersion) reader.fail("a format version this program does not know");
    const uint32_t count = reader.word();
    if (count > kMaxChunks) reader.fail("too many chunks");
    ChunkList chunks;
    for (uint32_t i = 0; i < count; ++i) {
        hostplatform::PlugInInstance::Chunk chunk;
        chunk.id = static_cast<int32_t>(reader.word());
        const uint32_t nameBytes = reader.word();
        if (nameBytes > kMaxNameBytes) reader.fail("a chunk name too long");
        chunk.name = reader.take(nameBytes);
        const std::string data = reader.take(reader.word());
        chunk.bytes.assign(data.begin(), data.end());
        chunks.push_back(std::move(chunk));
    }
    if (!reader.atEnd()) reader.fail("bytes after the last chunk");
    return chunks;
}

}  // namespace ruvane::host
