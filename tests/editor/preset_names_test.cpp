// Preset names between the bank's bytes and the panel's text.
#include "effect/editor/preset_names.h"

#include <gtest/gtest.h>

#include <string>

namespace ruvane {
namespace {

TEST(PresetNames, BytesUpToTheTerminatorOrAllTwentyFour) {
    const char shortName[kPresetNameBytes] = "Tape Echo";
    EXPECT_EQ(presetNameText(shortName), "Tape Echo");
    char full[kPresetNameBytes];
    for (int i = 0; i < kPresetNameBytes; ++i) full[i] = static_cast<char>('a' + i);
    EXPECT_EQ(presetNameText(full), "abcdefghijklmnopqrstuvwx");
}

TEST(PresetNames, Latin1NamesShowAsTheirCharacters) {
    const char utf8[kPresetNameBytes] = "Caf\xC3\xA9";   // already UTF-8: as it is
    EXPECT_EQ(presetNameText(utf8), "Caf\xC3\xA9");
    const char latin1[kPresetNameBytes] = "Caf\xE9 \xFC";  // an old file's Latin-1
    EXPECT_EQ(presetNameText(latin1), "Caf\xC3\xA9 \xC3\xBC");
}

TEST(PresetNames, TypedNamesAreCutToTwentyFourBytesOfWholeCharacters) {
    EXPECT_EQ(cutToPresetName("A name that is much longer than the field"), "A name that is much long");
    EXPECT_EQ(cutToPresetName("short"), "short");
    // 23 ASCII bytes then a two-byte character: the character does not fit and goes whole.
    EXPECT_EQ(cutToPresetName(std::string(23, 'x') + "\xC3\xA9"), std::string(23, 'x'));
    EXPECT_EQ(cutToPresetName(std::string(22, 'x') + "\xC3\xA9!"), std::string(22, 'x') + "\xC3\xA9");
}

}  // namespace
}  // namespace ruvane
