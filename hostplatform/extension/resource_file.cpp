#include "hostplatform/extension/resource_file.h"

#include <cstring>

namespace ruvane::hostplatform {

uint32_t reverseWord(uint32_t word) { return __builtin_bswap32(word); }
uint16_t reverseHalf(uint16_t half) { return __builtin_bswap16(half); }

namespace {

void appendWord(std::vector<uint8_t>& bytes, uint32_t word, ByteOrder order) {
    if (order == ByteOrder::reversed) word = reverseWord(word);
    uint8_t raw[4];
    std::memcpy(raw, &word, 4);
    bytes.insert(bytes.end(), raw, raw + 4);
}

uint32_t readWord(const std::vector<uint8_t>& bytes, std::size_t offset, ByteOrder order) {
    uint32_t word;
    std::memcpy(&word, bytes.data() + offset, 4);
    return order == ByteOrder::reversed ? reverseWord(word) : word;
}

std::size_t padded(std::size_t size) { return (size + 3) & ~std::size_t{3}; }

}  // namespace

std::vector<uint8_t> encodeResourceFile(const std::vector<Resource>& resources, ByteOrder order) {
    std::vector<uint8_t> bytes(kResourceFileMagic, kResourceFileMagic + 4);
    appendWord(bytes, kResourceByteOrderMark, order);
    appendWord(bytes, static_cast<uint32_t>(resources.size()), order);
    for (const Resource& resource : resources) {
        appendWord(bytes, resource.kind, order);
        appendWord(bytes, static_cast<uint32_t>(resource.id), order);
        appendWord(bytes, static_cast<uint32_t>(resource.data.size()), order);
        bytes.insert(bytes.end(), resource.data.begin(), resource.data.end());
        bytes.resize(bytes.size() + padded(resource.data.size()) - resource.data.size(), 0);
    }
    return bytes;
}

std::optional<DecodedResourceFile> decodeResourceFile(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < kResourceFileHeaderBytes || std::memcmp(bytes.data(), kResourceFileMagic, 4) != 0)
        return std::nullopt;
    DecodedResourceFile file;
    const uint32_t mark = readWord(bytes, 4, ByteOrder::native);
    if (mark == kResourceByteOrderMark)
        file.order = ByteOrder::native;
    else if (mark == reverseWord(kResourceByteOrderMark))
        file.order = ByteOrder::reversed;
    else
        return std::nullopt;
    const uint32_t count = readWord(bytes, 8, file.order);
    if (count > kMaxResourceCount) return std::nullopt;
    std::size_t offset = kResourceFileHeaderBytes;
    for (uint32_t i = 0; i < count; ++i) {
        if (bytes.size() - offset < kResourceHeaderBytes) return std::nullopt;
        Resource resource;
        resource.kind = readWord(bytes, offset, file.order);
        resource.id = static_cast<int32_t>(readWord(bytes, offset + 4, file.order));
        const uint32_t size = readWord(bytes, offset + 8, file.order);
        offset += kResourceHeaderBytes;
        if (bytes.size() - offset < padded(size)) return std::nullopt;
        resource.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                             bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
        offset += padded(size);
        file.resources.push_back(std::move(resource));
    }
    if (offset != bytes.size()) return std::nullopt;
    return file;
}

}  // namespace ruvane::hostplatform
