// ruvane-view's command line, checked without running the program.
#include "tools/ruvane-view/options.h"

#include <gtest/gtest.h>

#include "tools/ruvane-view/view_error.h"

namespace ruvane::view {
namespace {

TEST(ViewOptions, DefaultsShowThePluginUntilClosed) {
    const ViewOptions options = parseOptions({});
    EXPECT_FALSE(options.gallery);
    EXPECT_FALSE(options.audio);
    EXPECT_FALSE(options.shot.has_value());
    EXPECT_FALSE(options.scale.has_value());
    EXPECT_EQ(options.afterMs, 1000);
}

TEST(ViewOptions, EveryOptionIsRead) {
    const ViewOptions options =
        parseOptions({"--gallery", "--shot", "out.png", "--after", "250", "--scale", "2"});
    EXPECT_TRUE(options.gallery);
    EXPECT_EQ(options.shot, "out.png");
    EXPECT_EQ(options.afterMs, 250);
    EXPECT_EQ(options.scale, 2);
    const ViewOptions withPlugin = parseOptions({"--audio", "--plugin", "/opt/vst/Ruvane.so", "--scale", "1"});
    EXPECT_TRUE(withPlugin.audio);
    EXPECT_EQ(withPlugin.plugin, "/opt/vst/Ruvane.so");
    EXPECT_EQ(withPlugin.scale, 1);
    EXPECT_FALSE(withPlugin.hostCallLog.has_value());
    EXPECT_EQ(parseOptions({"--audio", "--log-host-calls", "calls.log"}).hostCallLog, "calls.log");
    EXPECT_FALSE(withPlugin.commands);
    EXPECT_TRUE(parseOptions({"--audio", "--commands"}).commands);
    EXPECT_TRUE(parseOptions({"--gallery", "--commands"}).commands);
    EXPECT_TRUE(parseOptions({"--help"}).help);
    EXPECT_TRUE(parseOptions({"-h"}).help);
    EXPECT_TRUE(parseOptions({"--version"}).version);
}

TEST(ViewOptions, MalformedCommandLinesSayWhatIsWrong) {
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"gallery"}, "unknown option 'gallery'"},
        {{"--shot"}, "--shot needs a value"},
        {{"--shot", ""}, "--shot needs a file name"},
        {{"--scale", "3"}, "--scale wants a whole number from 1 to 2, not '3'"},
        {{"--scale", "1.5"}, "not '1.5'"},
        {{"--scale", "0"}, "not '0'"},
        {{"--shot", "a.png", "--after", "-5"}, "--after wants a whole number from 0"},
        {{"--shot", "a.png", "--after", "soon"}, "not 'soon'"},
        {{"--after", "100"}, "--after only goes with --shot"},
        {{"--gallery", "--audio"}, "drop --gallery"},
        {{"--gallery", "--plugin", "x.so"}, "drop --gallery"},
        {{"--log-host-calls"}, "--log-host-calls needs a value"},
        {{"--log-host-calls", ""}, "--log-host-calls needs a file name"},
        {{"--gallery", "--log-host-calls", "calls.log"}, "the gallery has none (drop --gallery)"},
        {{"--commands", "--shot", "a.png"}, "give the command shot FILE.png instead"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        try {
            parseOptions(c.args);
            ADD_FAILURE() << "accepted";
        } catch (const ViewError& error) {
            EXPECT_EQ(error.code(), kExitUsage);
            EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << error.what();
        }
    }
}

TEST(ViewOptions, HelpNamesEveryOptionAndTheExitCodes) {
    const std::string help = helpText("ruvane-view");
    for (const char* word : {"--gallery", "--audio", "--shot FILE.png", "--after MS", "--scale 1|2", "--plugin PATH",
                             "--log-host-calls FILE", "begin-edit INDEX", "automate INDEX VALUE", "end-edit INDEX", "--help", "Exit codes", "3 no X display",
                             "--commands", "set INDEX VALUE", "on the audio thread", "get INDEX", "program-name",
                             "shot FILE.png", "close", "open", "heap", "quit", "5 a command failed"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
}

}  // namespace
}  // namespace ruvane::view
