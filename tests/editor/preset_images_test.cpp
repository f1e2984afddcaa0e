// The preset, bank and MIDI-settings images on their own: layout, byte order, rejection.
#include "effect/editor/preset_images.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "effect/plugin/byte_order.h"
#include "image_bytes.h"

namespace ruvane {
namespace {

using testing::otherByteOrder;
using testing::valueOffsets;

constexpr int32_t kId = 0x52563753;  // 'RV7S'
constexpr std::size_t kGuard = 16;
constexpr uint8_t kSentinel = 0xA5;

// A value whose bytes read in either order give a distinct number in 0..1.
float twoWayValue(int n) { return std::bit_cast<float>(0x3D00003Eu | (static_cast<uint32_t>(n * 37 + 11) << 8)); }
float byteReversed(float value) { return std::bit_cast<float>(reverseBytes(std::bit_cast<uint32_t>(value))); }

PresetRecord makeRecord(int seed) {
    PresetRecord record{};
    const std::string name = "Preset " + std::to_string(seed);
    std::memcpy(record.name, name.data(), name.size());
    for (int i = 0; i < kNumSoundParameters; ++i) record.values[i] = twoWayValue(seed * 48 + i);
    return record;
}

std::unique_ptr<PresetBank> makeBank() {
    auto bank = std::make_unique<PresetBank>();
    for (int p = 0; p < kNumPresets; ++p) (*bank)[p] = makeRecord(p);
    std::memcpy((*bank)[60].name, "ABCDEFGHIJKLMNOPQRSTUVWX", kPresetNameBytes);  // all 24 bytes used
    return bank;
}

ControllerValues makeControllers() {
    ControllerValues values{};
    for (int i = 0; i < kNumSoundParameters; ++i) values[i] = twoWayValue(1000 + i);
    return values;
}


std::vector<uint8_t> encodedPreset(const PresetRecord& record) {
    std::vector<uint8_t> image(kPresetImageBytes);
    encodePresetImage(record, kId, image.data());
    return image;
}

std::vector<uint8_t> encodedBank(const PresetBank& bank) {
    std::vector<uint8_t> image(kBankImageBytes);
    encodeBankImage(bank, kId, image.data());
    return image;
}

std::vector<uint8_t> encodedMidi(const ControllerValues& values) {
    std::vector<uint8_t> image(kMidiImageBytes);
    encodeMidiImage(values, kId, image.data());
    return image;
}

TEST(PresetImages, HaveTheirFileSizes) {
    EXPECT_EQ(kPresetImageBytes, 221u);
    EXPECT_EQ(kBankImageBytes, 13181u);
    EXPECT_EQ(kMidiImageBytes, 197u);
}

// Each encoder writes exactly its size: every byte of the image, nothing past it.
TEST(PresetImages, EncodersWriteTheirWholeImageAndNothingBeyond) {
    const PresetRecord record = makeRecord(3);
    const auto bank = makeBank();
    const ControllerValues controllers = makeControllers();
    struct Case {
        std::size_t size;
        uint8_t tag;
        std::function<void(uint8_t*)> encode;
    };
    const Case cases[] = {
        {kPresetImageBytes, '!', [&](uint8_t* image) { encodePresetImage(record, kId, image); }},
        {kBankImageBytes, '7', [&](uint8_t* image) { encodeBankImage(*bank, kId, image); }},
        {kMidiImageBytes, 0x0B, [&](uint8_t* image) { encodeMidiImage(controllers, kId, image); }},
    };
    for (const Case& c : cases) {
        for (const uint8_t fill : {uint8_t{0x00}, uint8_t{0xFF}}) {
            std::vector<uint8_t> buffer(c.size + kGuard, fill);
            c.encode(buffer.data());
            EXPECT_EQ(loadWord(buffer.data()), static_cast<uint32_t>(kId));
            EXPECT_EQ(buffer[4], c.tag);
            for (std::size_t i = c.size; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], fill) << c.size;
            // The same image whatever the buffer held before: every byte was written.
            std::vector<uint8_t> other(c.size + kGuard, static_cast<uint8_t>(~fill));
            c.encode(other.data());
            EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + c.size, other.begin())) << c.size;
        }
    }
}

TEST(PresetImages, LayoutOfEachKind) {
    const PresetRecord record = makeRecord(2);
    const auto preset = encodedPreset(record);
    EXPECT_EQ(std::memcmp(&preset[5], record.name, 24), 0);
    for (int i = 0; i < 48; ++i) EXPECT_EQ(loadFloat(&preset[29 + 4 * i], false), record.values[i]);

    const auto bank = makeBank();
    const auto bankImage = encodedBank(*bank);
    for (int p = 0; p < kNumPresets; ++p) {
        EXPECT_EQ(std::memcmp(&bankImage[5 + 216 * p], (*bank)[p].name, 24), 0);
        for (int i = 0; i < 48; ++i)
            EXPECT_EQ(loadFloat(&bankImage[5 + 216 * p + 24 + 4 * i], false), (*bank)[p].values[i]);
    }

    const ControllerValues controllers = makeControllers();
    const auto midi = encodedMidi(controllers);
    for (int i = 0; i < 48; ++i) EXPECT_EQ(loadFloat(&midi[5 + 4 * i], false), controllers[i]);
}

// Native or from the other byte order, with or without the reverse flag: values are
// reversed once for a swapped image and once more for the flag; names never.
struct OrderCase {
    bool otherOrder;
    bool reverse;
    bool expectReversed;
};

class ByteOrder : public ::testing::TestWithParam<OrderCase> {
protected:
    std::vector<uint8_t> prepare(std::vector<uint8_t> image) const {
        return GetParam().otherOrder ? otherByteOrder(std::move(image)) : image;
    }
    float expected(float value) const { return GetParam().expectReversed ? byteReversed(value) : value; }
};

TEST_P(ByteOrder, Preset) {
    const PresetRecord original = makeRecord(7);
    const auto image = prepare(encodedPreset(original));
    PresetRecord decoded{};
    ASSERT_TRUE(decodePresetImage(image.data(), kId, GetParam().reverse, decoded));
    EXPECT_EQ(std::memcmp(decoded.name, original.name, kPresetNameBytes), 0);
    for (int i = 0; i < kNumSoundParameters; ++i) EXPECT_EQ(decoded.values[i], expected(original.values[i])) << i;
}

TEST_P(ByteOrder, Bank) {
    const auto original = makeBank();
    const auto image = prepare(encodedBank(*original));
    auto decoded = std::make_unique<PresetBank>();
    ASSERT_TRUE(decodeBankImage(image.data(), kId, GetParam().reverse, *decoded));
    for (int p = 0; p < kNumPresets; ++p) {
        EXPECT_EQ(std::memcmp((*decoded)[p].name, (*original)[p].name, kPresetNameBytes), 0) << p;
        for (int i = 0; i < kNumSoundParameters; ++i)
            ASSERT_EQ((*decoded)[p].values[i], expected((*original)[p].values[i])) << p << " " << i;
    }
}

TEST_P(ByteOrder, Midi) {
    const ControllerValues original = makeControllers();
    const auto image = prepare(encodedMidi(original));
    ControllerValues decoded{};
    ASSERT_TRUE(decodeMidiImage(image.data(), kId, GetParam().reverse, decoded));
    for (int i = 0; i < kNumSoundParameters; ++i) EXPECT_EQ(decoded[i], expected(original[i])) << i;
}

INSTANTIATE_TEST_SUITE_P(Orders, ByteOrder,
                         ::testing::Values(OrderCase{false, false, false}, OrderCase{false, true, true},
                                           OrderCase{true, false, false}, OrderCase{true, true, true}));

// Another effect's id or another kind's tag: false, and the output is not touched.
struct RejectCase {
    const char* what;
    std::size_t kind;  // image size of the kind decoded
    uint32_t id;
    uint8_t tag;
};

class Rejected : public ::testing::TestWithParam<RejectCase> {};

TEST_P(Rejected, LeavesTheOutputAlone) {
    const RejectCase c = GetParam();
    std::vector<uint8_t> image(c.kind);
    if (c.kind == kPresetImageBytes) image = encodedPreset(makeRecord(1));
    if (c.kind == kBankImageBytes) image = encodedBank(*makeBank());
    if (c.kind == kMidiImageBytes) image = encodedMidi(makeControllers());
    storeWord(image.data(), c.id);
    image[4] = c.tag;

    for (const bool reverse : {false, true}) {
        if (c.kind == kPresetImageBytes) {
            PresetRecord record;
            std::memset(&record, kSentinel, sizeof record);
            EXPECT_FALSE(decodePresetImage(image.data(), kId, reverse, record));
            for (std::size_t i = 0; i < sizeof record; ++i)
                ASSERT_EQ(reinterpret_cast<const uint8_t*>(&record)[i], kSentinel);
        } else if (c.kind == kBankImageBytes) {
            auto bank = std::make_unique<PresetBank>();
            std::memset(bank.get(), kSentinel, sizeof *bank);
            EXPECT_FALSE(decodeBankImage(image.data(), kId, reverse, *bank));
            for (std::size_t i = 0; i < sizeof *bank; ++i)
                ASSERT_EQ(reinterpret_cast<const uint8_t*>(bank.get())[i], kSentinel);
        } else {
            ControllerValues values;
            std::memset(&values, kSentinel, sizeof values);
            EXPECT_FALSE(decodeMidiImage(image.data(), kId, reverse, values));
            for (std::size_t i = 0; i < sizeof values; ++i)
                ASSERT_EQ(reinterpret_cast<const uint8_t*>(&values)[i], kSentinel);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Images, Rejected,
    ::testing::Values(RejectCase{"preset, other effect", kPresetImageBytes, 0x41424344, '!'},
                      RejectCase{"preset, id off by one", kPresetImageBytes, 0x52563754, '!'},
                      RejectCase{"preset, bank tag", kPresetImageBytes, 0x52563753, '7'},
                      RejectCase{"preset, MIDI tag", kPresetImageBytes, 0x52563753, 0x0B},
                      RejectCase{"preset, swapped id, bank tag", kPresetImageBytes, 0x53375652, '7'},
                      RejectCase{"preset, all zero", kPresetImageBytes, 0, 0},
                      RejectCase{"bank, other effect", kBankImageBytes, 0x41424344, '7'},
                      RejectCase{"bank, preset tag", kBankImageBytes, 0x52563753, '!'},
                      RejectCase{"bank, swapped id, MIDI tag", kBankImageBytes, 0x53375652, 0x0B},
                      RejectCase{"MIDI, other effect", kMidiImageBytes, 0x41424344, 0x0B},
                      RejectCase{"MIDI, preset tag", kMidiImageBytes, 0x52563753, '!'},
                      RejectCase{"MIDI, all zero", kMidiImageBytes, 0, 0}),
    [](const ::testing::TestParamInfo<RejectCase>& info) { return "Case" + std::to_string(info.index); });

// An id that reads the same in both byte orders cannot tell the order; it counts as native.
TEST(PresetImages, AnIdThatReadsTheSameBothWaysIsNative) {
    constexpr int32_t symmetricId = 0x41424241;
    const PresetRecord original = makeRecord(4);
    std::vector<uint8_t> image(kPresetImageBytes);
    encodePresetImage(original, symmetricId, image.data());
    PresetRecord decoded{};
    ASSERT_TRUE(decodePresetImage(image.data(), symmetricId, false, decoded));
    for (int i = 0; i < kNumSoundParameters; ++i) EXPECT_EQ(decoded.values[i], original.values[i]);
}

// Random images: accepted exactly when id and tag say so, and then read bit for bit.
TEST(PresetImages, RandomImagesAreAcceptedOnlyWithTheirHeader) {
    std::mt19937 random(1234);
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> image(kPresetImageBytes);
        for (auto& byte : image) byte = static_cast<uint8_t>(random());
        const bool withHeader = round % 2 == 0;
        if (withHeader) {
            storeWord(image.data(), static_cast<uint32_t>(kId));
            image[4] = '!';
        }
        const uint32_t id = loadWord(image.data());
        const bool ours = (id == static_cast<uint32_t>(kId) || id == reverseBytes(static_cast<uint32_t>(kId))) &&
                          image[4] == '!';
        PresetRecord decoded{};
        ASSERT_EQ(decodePresetImage(image.data(), kId, false, decoded), ours);
        if (withHeader) {
            EXPECT_EQ(std::memcmp(decoded.name, &image[5], 24), 0);
            EXPECT_EQ(std::memcmp(decoded.values, &image[29], 192), 0);
        }
    }
}

}  // namespace
}  // namespace ruvane
