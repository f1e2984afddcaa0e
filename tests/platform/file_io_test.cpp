// Whole-file reads and safe replacement of files.
#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <numeric>
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

struct ReadCase {
    std::size_t fileBytes;
    std::size_t expectedRead;
    bool expectedMore;
};

class ReadFileStart : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadFileStart, FillsTheBufferFromTheFileAndZeroesTheRest) {
    const ReadCase c = GetParam();
    TempFolder folder;
    const auto path = folder.path() / "data";
    const std::vector<uint8_t> content = pattern(c.fileBytes, 1);
    writeBytes(path, content);

    std::vector<uint8_t> buffer(221, 0xAA);
    const auto start = readFileStart(path, buffer);
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(start->bytesRead, c.expectedRead);
    EXPECT_EQ(start->hasMore, c.expectedMore);
    for (std::size_t i = 0; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], i < c.expectedRead ? content[i] : 0) << "byte " << i;
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReadFileStart,
                         ::testing::Values(ReadCase{0, 0, false}, ReadCase{1, 1, false}, ReadCase{220, 220, false},
                                           ReadCase{221, 221, false}, ReadCase{222, 221, true},
                                           ReadCase{70000, 221, true}));

TEST(ReadFileStartRefuses, WhatIsNoReadableRegularFile) {
    TempFolder folder;
    const auto fifo = folder.path() / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::filesystem::path cases[] = {folder.path() / "missing", folder.path(), fifo, ""};
    for (const auto& path : cases) {
        std::vector<uint8_t> buffer(16, 0xAA);
        EXPECT_FALSE(readFileStart(path, buffer).has_value()) << path;
        EXPECT_EQ(buffer, std::vector<uint8_t>(16, 0)) << path;
    }
}

TEST(ReadFileStartReads, AReadOnlyFile) {
    TempFolder folder;
    const auto path = folder.path() / "locked";
    writeBytes(path, pattern(10, 3));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    std::vector<uint8_t> buffer(10);
    const auto start = readFileStart(path, buffer);
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(buffer, pattern(10, 3));
}

TEST(ReplaceFile, CreatesAndReplacesWholeFilesAndLeavesNothingElse) {
    TempFolder folder;
    const auto path = folder.path() / "bank.zvb";
    ASSERT_TRUE(replaceFile(path, pattern(13181, 5)));
    EXPECT_EQ(fileBytes(path), pattern(13181, 5));
    ASSERT_TRUE(replaceFile(path, pattern(20, 9)));
    EXPECT_EQ(fileBytes(path), pattern(20, 9));
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"bank.zvb"});
}

TEST(ReplaceFile, KeepsThePermissionsOfTheFileItReplaces) {
    TempFolder folder;
    const auto path = folder.path() / "preset.zav";
    writeBytes(path, pattern(4, 0));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(replaceFile(path, pattern(8, 1)));
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
}

TEST(ReplaceFile, WritesThroughALinkToTheFileItNames) {
    TempFolder folder;
    const auto target = folder.path() / "real.zav";
    const auto link = folder.path() / "link.zav";
    writeBytes(target, pattern(4, 0));
    std::filesystem::create_symlink(target, link);
    ASSERT_TRUE(replaceFile(link, pattern(6, 2)));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(fileBytes(target), pattern(6, 2));
}

TEST(ReplaceFile, DoesNotReplaceAReadOnlyFile) {
    TempFolder folder;
    const auto path = folder.path() / "locked.zav";
    writeBytes(path, pattern(221, 4));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(replaceFile(path, pattern(221, 8)));
    EXPECT_EQ(fileBytes(path), pattern(221, 4));
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"locked.zav"});
}

TEST(ReplaceFile, FailsWithoutEffectWhereNoFileCanBe) {
    TempFolder folder;
    writeBytes(folder.path() / "plain", pattern(3, 0));
    std::filesystem::create_directory(folder.path() / "sub");
    const std::filesystem::path cases[] = {
        folder.path() / "missing" / "x.zav",  // no such folder
        folder.path() / "plain" / "x.zav",    // a file where the folder should be
        folder.path() / "sub",                // a folder where the file should be
        folder.path() / "",                   // no file name
    };
    for (const auto& path : cases) EXPECT_FALSE(replaceFile(path, pattern(5, 1))) << path;
    EXPECT_EQ(fileBytes(folder.path() / "plain"), pattern(3, 0));
    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"plain", "sub"}));
    EXPECT_TRUE(namesIn(folder.path() / "sub").empty());
}

// A disk that fills up halfway through the write: the old file must survive whole.
TEST(ReplaceFile, AWriteFailingHalfwayLeavesTheOldFileWhole) {
    TempFolder folder;
    const auto path = folder.path() / "bank.zvb";
    writeBytes(path, pattern(300, 6));

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool replaced = replaceFile(path, pattern(13181, 2));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(replaced);
    EXPECT_EQ(fileBytes(path), pattern(300, 6));
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"bank.zvb"});
}

}  // namespace
}  // namespace ruvane
