// The per-user settings store: one file per value, replaced whole on every write.
#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace ruvane {
namespace {

using testing::TempFolder;
using testing::fileBytes;
using testing::namesIn;
using testing::pattern;
using testing::writeBytes;


// Sets or removes an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

struct FolderCase {
    std::optional<std::string> configHome;
    std::optional<std::string> home;
    std::string expected;
};

class DefaultFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(DefaultFolder, FollowsTheBaseDirectoryRules) {
    const FolderCase c = GetParam();
    ScopedEnv config("XDG_CONFIG_HOME", c.configHome);
    ScopedEnv home("HOME", c.home);
    EXPECT_EQ(SettingsStore::defaultFolder(), std::filesystem::path(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Environment, DefaultFolder,
    ::testing::Values(FolderCase{"/cfg", "/home/u", "/cfg/Orvanta/Ruvane"},
                      FolderCase{std::nullopt, "/home/u", "/home/u/.config/Orvanta/Ruvane"},
                      FolderCase{"", "/home/u", "/home/u/.config/Orvanta/Ruvane"},
                      FolderCase{"relative/cfg", "/home/u", "/home/u/.config/Orvanta/Ruvane"}));

class Store : public ::testing::Test {
protected:
    TempFolder root;
    std::filesystem::path folder = root.path() / "Orvanta" / "Ruvane";
    SettingsStore store{folder};
};

TEST_F(Store, CreatesItsFolderOnTheFirstWrite) {
    EXPECT_FALSE(std::filesystem::exists(folder));
    ASSERT_TRUE(store.writeBinary("MemoA", pattern(221, 1)));
    EXPECT_EQ(fileBytes(folder / "MemoA"), pattern(221, 1));
}

TEST_F(Store, BinaryValuesComeBackAsWritten) {
    for (const std::size_t size : {std::size_t{1}, std::size_t{197}, std::size_t{221}, std::size_t{13181}}) {
        ASSERT_TRUE(store.writeBinary("Value", pattern(size, static_cast<uint8_t>(size))));
        std::vector<uint8_t> image(size, 0xEE);
        ASSERT_TRUE(store.readBinary("Value", image)) << size;
        EXPECT_EQ(image, pattern(size, static_cast<uint8_t>(size)));
    }
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"Value"});
}

// Only a value of exactly the expected size is one we wrote; anything else is absent.
TEST_F(Store, AValueOfAnotherSizeIsAbsent) {
    for (const std::size_t stored : {std::size_t{0}, std::size_t{5}, std::size_t{220}, std::size_t{222},
                                     std::size_t{13181}}) {
        ASSERT_TRUE(store.writeBinary("DefaultPreset", pattern(stored, 3)));
        std::vector<uint8_t> image(221, 0xEE);
        EXPECT_FALSE(store.readBinary("DefaultPreset", image)) << stored;
        EXPECT_EQ(image, std::vector<uint8_t>(221, 0)) << stored;
    }
}

TEST_F(Store, AMissingValueIsAbsentAndReadsAsZero) {
    std::vector<uint8_t> image(197, 0xEE);
    EXPECT_FALSE(store.readBinary("DefaultMidi", image));
    EXPECT_EQ(image, std::vector<uint8_t>(197, 0));
    EXPECT_FALSE(store.readText("CurrDir").has_value());
}

// A crash between writing the temporary file and renaming it leaves that file behind;
// it is never taken for the value.
TEST_F(Store, ALeftoverTemporaryFileIsNeverReadAsTheValue) {
    ASSERT_TRUE(store.writeBinary("MemoA", pattern(221, 1)));
    writeBytes(folder / ".MemoA.4242-0-17.tmp", pattern(221, 9));
    writeBytes(folder / ".MemoB.4242-1-18.tmp", pattern(221, 9));
    std::vector<uint8_t> image(221);
    ASSERT_TRUE(store.readBinary("MemoA", image));
    EXPECT_EQ(image, pattern(221, 1));
    EXPECT_FALSE(store.readBinary("MemoB", image));
}

TEST_F(Store, TextsComeBackAsWritten) {
    const std::string texts[] = {"", "/home/user/Presets/", "Bänke für Gitarre.zvb", std::string(256, 'x')};
    for (const auto& text : texts) {
        ASSERT_TRUE(store.writeText("CurrBank", text));
        EXPECT_EQ(store.readText("CurrBank"), text);
    }
}

TEST_F(Store, ATextEndsAtItsFirstZeroByteAndALongOneIsAbsent) {
    ASSERT_TRUE(store.writeText("CurrDir", std::string("/tmp/\0junk", 10)));
    EXPECT_EQ(store.readText("CurrDir"), "/tmp/");
    ASSERT_TRUE(store.writeText("CurrDir", std::string(257, 'a')));
    EXPECT_FALSE(store.readText("CurrDir", 256).has_value());
    EXPECT_EQ(store.readText("CurrDir", 257), std::string(257, 'a'));
}

TEST_F(Store, RemovedValuesAreAbsent) {
    ASSERT_TRUE(store.writeBinary("DefaultBank", pattern(10, 1)));
    EXPECT_TRUE(store.remove("DefaultBank"));
    std::vector<uint8_t> image(10);
    EXPECT_FALSE(store.readBinary("DefaultBank", image));
    EXPECT_TRUE(store.remove("DefaultBank"));  // already absent
}

TEST_F(Store, NamesThatAreNoPlainFileNameAreRefused) {
    ASSERT_TRUE(store.writeText("Seed", "x"));
    const std::string names[] = {"", ".", "..", ".MemoA.1-2-3.tmp", "a/b", "../escape", std::string("a\0b", 3),
                                 std::string(200, 'n')};
    for (const auto& name : names) {
        std::vector<uint8_t> image(4);
        EXPECT_FALSE(SettingsStore::isValidName(name)) << name;
        EXPECT_FALSE(store.writeBinary(name, pattern(4, 1))) << name;
        EXPECT_FALSE(store.writeText(name, "t")) << name;
        EXPECT_FALSE(store.readBinary(name, image)) << name;
        EXPECT_FALSE(store.readText(name).has_value()) << name;
        EXPECT_FALSE(store.remove(name)) << name;
    }
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"Seed"});
    EXPECT_EQ(namesIn(root.path()), std::vector<std::string>{"Orvanta"});
}

// A folder that cannot be made (a file stands in its way) or no folder at all: every
// write fails, nothing is read, nothing changes.
TEST(StoreWithoutFolder, FailsQuietly) {
    TempFolder root;
    writeBytes(root.path() / "blocker", pattern(3, 0));
    const std::filesystem::path folders[] = {root.path() / "blocker" / "Orvanta" / "Ruvane", ""};
    for (const auto& folder : folders) {
        SettingsStore store(folder);
        std::vector<uint8_t> image(221, 0xEE);
        EXPECT_FALSE(store.writeBinary("MemoA", pattern(221, 1))) << folder;
        EXPECT_FALSE(store.writeText("CurrDir", "/x/")) << folder;
        EXPECT_FALSE(store.readBinary("MemoA", image)) << folder;
        EXPECT_EQ(image, std::vector<uint8_t>(221, 0));
        EXPECT_FALSE(store.readText("CurrDir").has_value()) << folder;
        EXPECT_FALSE(store.remove("MemoA")) << folder;
    }
    EXPECT_EQ(fileBytes(root.path() / "blocker"), pattern(3, 0));
}

}  // namespace
}  // namespace ruvane
