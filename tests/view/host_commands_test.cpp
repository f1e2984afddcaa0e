// The commands of ruvane-view --commands, read without running the program: what each
// line means, what a malformed one is told, and lines as they arrive through a pipe.
#include "tools/ruvane-view/host_commands.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace ruvane::view {
namespace {

using Kind = HostCommand::Kind;

TEST(HostCommands, EachLineMeansOneCommand) {
    struct Case {
        std::string line;
        Kind kind;
        int32_t index;
        float value;
        std::string path;
    };
    const Case cases[] = {
        {"set 2 0.75", Kind::Set, 2, 0.75f, ""},
        {"  set\t15   0 ", Kind::Set, 15, 0.0f, ""},
        {"set 95 1\r", Kind::Set, 95, 1.0f, ""},
        {"get 47", Kind::Get, 47, 0.0f, ""},
        {"program-name", Kind::ProgramName, 0, 0.0f, ""},
        {"shot /tmp/my shots/editor.png  ", Kind::Shot, 0, 0.0f, "/tmp/my shots/editor.png"},
        {"open", Kind::Open, 0, 0.0f, ""},
        {"close", Kind::Close, 0, 0.0f, ""},
        {"heap", Kind::Heap, 0, 0.0f, ""},
        {"quit", Kind::Quit, 0, 0.0f, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string error = "untouched";
        const std::optional<HostCommand> command = parseHostCommand(c.line, &error);
        ASSERT_TRUE(command.has_value()) << error;
        EXPECT_TRUE(error.empty());
        EXPECT_EQ(command->kind, c.kind);
        EXPECT_EQ(command->index, c.index);
        EXPECT_EQ(command->value, c.value);
        EXPECT_EQ(command->path, c.path);
    }
}

TEST(HostCommands, BlankAndCommentLinesAreNoCommandAndNoError) {
    for (const char* line : {"", "   ", "\t", "# set 2 0.5", "  # a note"}) {
        std::string error = "untouched";
        EXPECT_FALSE(parseHostCommand(line, &error).has_value()) << line;
        EXPECT_TRUE(error.empty()) << line << ": " << error;
    }
}

TEST(HostCommands, MalformedLinesSayWhatIsWrong) {
    struct Case {
        std::string line;
        std::string says;
    };
    const Case cases[] = {
        {"set", "set wants INDEX VALUE"},
        {"set 2", "set wants INDEX VALUE"},
        {"set 2 0.5 0.6", "set wants INDEX VALUE"},
        {"set -1 0.5", "INDEX must be a parameter number, not '-1'"},
        {"set two 0.5", "not 'two'"},
        {"set 2 1.01", "VALUE must be a number from 0 to 1, not '1.01'"},
        {"set 2 -0.5", "not '-0.5'"},
        {"set 2 nan", "not 'nan'"},
        {"set 2 0.5x", "not '0.5x'"},
        {"set 99999999999 0.5", "not '99999999999'"},
        {"get", "get wants INDEX"},
        {"get 1.5", "not '1.5'"},
        {"shot", "shot wants FILE.png"},
        {"shot   ", "shot wants FILE.png"},
        {"quit now", "quit wants no arguments"},
        {"program-name 3", "program-name wants no arguments"},
        {"SET 2 0.5", "unknown command 'SET'"},
        {"exit", "unknown command 'exit' (see --help)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string error;
        EXPECT_FALSE(parseHostCommand(c.line, &error).has_value());
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
}

// Lines arrive in pieces through a pipe; each is taken once its newline is there.
TEST(HostCommands, LinesAreTakenWholeAsTheyArrive) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    CommandLines input(ends[0]);
    std::vector<CommandLine> lines;
    auto send = [&](const std::string& text) {
        ASSERT_EQ(write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    };
    send("set 2 0.");
    EXPECT_TRUE(input.read(&lines));
    EXPECT_TRUE(lines.empty());
    send("5\nget 2\nquit");
    EXPECT_TRUE(input.read(&lines));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "set 2 0.5");
    EXPECT_EQ(lines[1].text, "get 2");
    // A line far too long is marked, not cut into commands; the next line is whole again.
    lines.clear();
    send("\n" + std::string(kMaxCommandLineBytes + 10, 'x') + "\nheap\n");
    while (lines.size() < 3 && input.read(&lines)) {
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "quit");
    EXPECT_FALSE(lines[0].tooLong);
    EXPECT_TRUE(lines[1].tooLong);
    EXPECT_TRUE(lines[1].text.empty());
    EXPECT_EQ(lines[2].text, "heap");
    EXPECT_FALSE(lines[2].tooLong);
    // The end of the input ends the lines; a last one without its newline still counts.
    lines.clear();
    send("close");
    close(ends[1]);
    bool open = true;
    for (int reads = 0; open && reads < 10; ++reads) open = input.read(&lines);
    EXPECT_FALSE(open);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "close");
    close(ends[0]);
}

}  // namespace
}  // namespace ruvane::view
