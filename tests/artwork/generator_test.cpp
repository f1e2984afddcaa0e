// The skin generator: the same source draws byte-identical files on every run, and
// it says what is wrong when it is called wrongly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "temp_folder.h"

namespace ruvane {
namespace {

namespace fs = std::filesystem;

const fs::path kGenerator = fs::path(RUVANE_BUILD_DIR) / "ruvane-skin";

int run(const std::string& arguments) {
    const std::string command = kGenerator.string() + " " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SkinGenerator, DrawsByteIdenticalFilesEveryRun) {
    ASSERT_TRUE(fs::exists(kGenerator)) << kGenerator;
    testing::TempFolder first, second;
    ASSERT_EQ(run("--out " + first.path().string()), 0);
    ASSERT_EQ(run("--out " + second.path().string()), 0);
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(first.path())) {
        const fs::path twin = second.path() / entry.path().filename();
        ASSERT_TRUE(fs::exists(twin)) << twin;
        EXPECT_EQ(testing::fileBytes(entry.path()), testing::fileBytes(twin))
            << entry.path().filename();
        ++compared;
    }
    EXPECT_EQ(compared, 2 * 53);  // 53 bitmap ids at 1x and 2x
}

TEST(SkinGenerator, RejectsMissingOrUnknownOptions) {
    EXPECT_EQ(run(""), 2);
    EXPECT_EQ(run("--bogus"), 2);
    EXPECT_EQ(run("--out"), 2);
    EXPECT_EQ(run("--help"), 0);
}

}  // namespace
}  // namespace ruvane
