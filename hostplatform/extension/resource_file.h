// Resource files of the stand-in host platform: a module's registration resources,
// kept beside it as "<module file>.rsr".
//
// Layout (every header word in the byte order of the machine that wrote the file):
//
//   offset  size  content
//   0       4     the bytes "RRSF"
//   4       4     byte-order mark 0x01020304; read as 0x04030201 the file comes from a
//                 machine of the other byte order
//   8       4     resource count n
//   12      ...   n resources, each: kind (four-character code), id (int32), data size
//                 s (uint32), then s data bytes, padded with zeros to a multiple of 4
//
// The platform reads the headers itself. Resource data is the module's: for a file of
// the other byte order, the module's byte-order hook puts each resource's data into the
// reader's order (the hook answers 1 for the kinds it knows, 0 for the others, whose
// data is passed on as stored).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ruvane::hostplatform {

inline constexpr char kResourceFileMagic[4] = {'R', 'R', 'S', 'F'};
inline constexpr uint32_t kResourceByteOrderMark = 0x01020304;
inline constexpr std::size_t kResourceFileHeaderBytes = 12;
inline constexpr std::size_t kResourceHeaderBytes = 12;
inline constexpr uint32_t kMaxResourceCount = 4096;

struct Resource {
    uint32_t kind = 0;
    int32_t id = 0;
    std::vector<uint8_t> data;
};

enum class ByteOrder { native, reversed };

// The file's bytes; with ByteOrder::reversed every header word is written reversed, and
// the data is taken as given (the caller writes it in the order it wants).
std::vector<uint8_t> encodeResourceFile(const std::vector<Resource>& resources, ByteOrder order);

struct DecodedResourceFile {
    ByteOrder order = ByteOrder::native;
    std::vector<Resource> resources;  // data as stored
};

// Nullopt for bytes that are not a whole resource file.
std::optional<DecodedResourceFile> decodeResourceFile(const std::vector<uint8_t>& bytes);

uint32_t reverseWord(uint32_t word);
uint16_t reverseHalf(uint16_t half);

}  // namespace ruvane::hostplatform
