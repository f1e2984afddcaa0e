// The state chunk through the binary interface: what hosts store and give back.
#include <cstring>
#include <random>

#include "effect/plugin/byte_order.h"
#include "loaded_plugin.h"

namespace ruvane::testing {
namespace {

constexpr size_t kChunkBytes = 13400;
constexpr size_t kBankOffset = 32;
constexpr size_t kRecordBytes = 216;
constexpr size_t kControllerOffset = 13208;

uint32_t wordAt(const std::vector<uint8_t>& chunk, size_t offset) { return loadWord(chunk.data() + offset); }

// The same chunk as a machine of the other byte order writes it.
std::vector<uint8_t> otherByteOrder(std::vector<uint8_t> chunk) {
    auto swap = [&](size_t offset) { storeWord(chunk.data() + offset, reverseBytes(loadWord(chunk.data() + offset))); };
    for (size_t offset = 0; offset < kBankOffset; offset += 4) swap(offset);
    for (size_t p = 0; p < 61; ++p)
        for (size_t i = 0; i < 48; ++i) swap(kBankOffset + p * kRecordBytes + 24 + 4 * i);
    for (size_t i = 0; i < 48; ++i) swap(kControllerOffset + 4 * i);
    return chunk;
}

class StateChunk : public LoadedPlugin {
protected:
    // A state unlike the factory one: another preset current, edited values, a renamed
    // preset and a moved controller.
    void makeDistinctState() {
        std::vector<uint8_t> chunk = plugin->getChunk();
        storeWord(chunk.data() + 12, 5);  // preset 5 current
        ASSERT_EQ(plugin->setChunk(chunk), 0);
        plugin->setParameter(48 + 2, (7 + 0.5f) / 129.0f);  // Main Mix on controller 7
        plugin->setParameter(0, 0.3f);
        plugin->setParameter(35, 0.123f);
        char name[] = "Edited";
        plugin->dispatch(effSetProgramName, 0, 0, name);
    }

    std::vector<float> parameters() {
        std::vector<float> values;
        for (int i = 0; i < 96; ++i) values.push_back(plugin->getParameter(i));
        return values;
    }
};

TEST_F(StateChunk, HeaderOfTheChunk) {
    const std::vector<uint8_t> chunk = plugin->getChunk();
    ASSERT_EQ(chunk.size(), kChunkBytes);
    EXPECT_EQ(wordAt(chunk, 0), 0x01000000u);
    EXPECT_EQ(wordAt(chunk, 4), static_cast<uint32_t>(fourCharCode('R', 'V', '7', 'S')));
    EXPECT_EQ(wordAt(chunk, 8), 61u);
    EXPECT_EQ(wordAt(chunk, 12), 0u);
    for (size_t offset = 16; offset < 32; offset += 4) EXPECT_EQ(wordAt(chunk, offset), 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(chunk.data() + kBankOffset)), "Default");
}

TEST_F(StateChunk, ANewInstanceRestoresTheWholeState) {
    makeDistinctState();
    const std::vector<uint8_t> saved = plugin->getChunk();
    const std::vector<float> values = parameters();

    auto restored = loadRuvane();
    ASSERT_NE(restored, nullptr);
    restored->start(48000.0, 256);
    // Hosts send parameters and a resume before the chunk, then resume again.
    restored->setParameter(0, 0.9f);
    restored->resume();
    ASSERT_EQ(restored->setChunk(saved), 0);
    restored->resume();
    EXPECT_EQ(restored->getChunk(), saved);
    for (int i = 0; i < 96; ++i) EXPECT_EQ(restored->getParameter(i), values[i]) << i;
    EXPECT_EQ(restored->programName(), "Edited");
    EXPECT_EQ(wordAt(restored->getChunk(), 12), 5u);
    EXPECT_EQ(restored->programNameIndexed(0), "Default");
}

TEST_F(StateChunk, OtherByteOrderGivesTheSameState) {
    makeDistinctState();
    const std::vector<uint8_t> saved = plugin->getChunk();
    auto other = loadRuvane();
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(other->setChunk(otherByteOrder(saved)), 0);
    EXPECT_EQ(other->getChunk(), saved);
    EXPECT_EQ(other->getParameter(0), 0.3f);
}

TEST_F(StateChunk, RefusedChunksChangeNothing) {
    makeDistinctState();
    const std::vector<uint8_t> good = plugin->getChunk();
    auto fresh = loadRuvane();
    ASSERT_NE(fresh, nullptr);
    const std::vector<uint8_t> before = fresh->getChunk();

    struct Case {
        const char* what;
        std::vector<uint8_t> chunk;
        VstIntPtr answer;
    };
    std::vector<Case> cases;
    cases.push_back({"one byte short", std::vector<uint8_t>(good.begin(), good.end() - 1), -1});
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    cases.push_back({"one byte long", longer, -1});
    std::vector<uint8_t> foreign = good;
    storeWord(foreign.data() + 4, static_cast<uint32_t>(fourCharCode('X', 'Y', 'Z', 'W')));
    cases.push_back({"another effect's id", foreign, -1});
    std::vector<uint8_t> marker = good;
    storeWord(marker.data(), 0x02000000u);
    cases.push_back({"unknown format marker", marker, 0});
    std::vector<uint8_t> count = good;
    storeWord(count.data() + 8, 60);
    cases.push_back({"60 presets", count, -1});
    cases.push_back({"other byte order with 60 presets", otherByteOrder(count), -1});

    for (const Case& c : cases) {
        EXPECT_EQ(fresh->setChunk(c.chunk), c.answer) << c.what;
        EXPECT_EQ(fresh->getChunk(), before) << c.what;
        EXPECT_EQ(fresh->getParameter(0), 0.5f) << c.what;
    }
    EXPECT_EQ(fresh->setChunk(nullptr, kChunkBytes), -1);
}

TEST_F(StateChunk, GarbageValuesNeverReachTheEffect) {
    std::vector<uint8_t> chunk = plugin->getChunk();
    std::mt19937 random(7);
    for (size_t offset = 32; offset < kChunkBytes; ++offset) chunk[offset] = static_cast<uint8_t>(random());
    storeWord(chunk.data() + 12, 3);  // a valid current preset
    ASSERT_EQ(plugin->setChunk(chunk), 0);
    for (int i = 0; i < 96; ++i) {
        const float value = plugin->getParameter(i);
        EXPECT_TRUE(value >= 0.0f && value <= 1.0f) << i << ": " << value;
    }
    std::vector<float> in(512, 0.5f), outL(512), outR(512);
    plugin->process(in.data(), in.data(), outL.data(), outR.data(), 512);
    for (size_t n = 0; n < outL.size(); ++n) ASSERT_TRUE(std::isfinite(outL[n]) && std::isfinite(outR[n])) << n;
    // Controller values decode to controllers 0..127 or none, and the chunk says the same.
    const std::vector<uint8_t> again = plugin->getChunk();
    EXPECT_EQ(wordAt(again, 12), 3u);
}

TEST_F(StateChunk, CurrentPresetOutOfRangeLoadsTheBankOnly) {
    std::vector<uint8_t> chunk = plugin->getChunk();
    storeWord(chunk.data() + 12, 61);
    std::memcpy(chunk.data() + kBankOffset, "Renamed", 8);
    ASSERT_EQ(plugin->setChunk(chunk), 0);
    EXPECT_EQ(plugin->programNameIndexed(0), "Renamed");
    EXPECT_EQ(wordAt(plugin->getChunk(), 12), 0u);
}

}  // namespace
}  // namespace ruvane::testing
