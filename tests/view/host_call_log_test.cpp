// ruvane-view --log-host-calls as a user runs it: a real X drag on a knob of the editor
// while the plug-in plays, and the calls the editor made to the host, read from the log.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "effect/editor/layout.h"
#include "view_support.h"

namespace ruvane::testing {
namespace {

// One line of the log, split into its words: the call, the index, and the value of an
// automate call.
struct LoggedCall {
    std::string call;
    int index = -1;
    std::optional<double> value;
};

std::vector<LoggedCall> readCalls(const fs::path& log) {
    std::vector<LoggedCall> calls;
    std::istringstream lines(readText(log));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        LoggedCall call;
        words >> call.call >> call.index;
        double value = 0.0;
        if (words >> value) call.value = value;
        calls.push_back(call);
    }
    return calls;
}

// Whether the editor's own window shows inside the top-level one: the program maps the
// top-level window before it opens the editor into it, so input sent earlier is lost.
bool editorShowsIn(const TestDisplay& display, Window window) {
    Window root, parent;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display.get(), window, &root, &parent, &children, &count) == 0) return false;
    bool shows = false;
    for (unsigned int i = 0; i < count && !shows; ++i) {
        XWindowAttributes attributes{};
        shows = XGetWindowAttributes(display.get(), children[i], &attributes) != 0 &&
                attributes.map_state == IsViewable;
    }
    if (children != nullptr) XFree(children);
    return shows;
}

// Sets an environment variable for the programs this test starts, and puts it back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Dragging the Main Mix knob upwards while the phrase plays logs, in order: begin-edit,
// automate calls with the value rising, end-edit, all for that knob's parameter and
// nothing for any other in between.
TEST(ViewHostCallLog, KnobDragIsLoggedAsOneEditGesture) {
    PrivateXServer server;
    RUVANE_REQUIRE_SERVER(server);
    TestDisplay display(server.name());
    RUVANE_REQUIRE_DISPLAY(display);
    constexpr int kMixTag = 2;
    const layout::Control* knob = layout::findControl(kMixTag);
    ASSERT_NE(knob, nullptr);

    TempFolder folder;
    const fs::path log = folder.path() / "calls.log";
    const ScopedEnvironment config("XDG_CONFIG_HOME", (folder.path() / "config").string());
    ViewProcess program({"--plugin", RUVANE_PLUGIN_PATH, "--audio", "--log-host-calls", log.string()}, true,
                        server.name());
    std::optional<Window> window;
    ASSERT_TRUE(eventually([&] { return (window = display.findWindow("Ruvane", program.pid())).has_value(); }))
        << "the plug-in's window never showed";
    ASSERT_TRUE(eventually([&] { return editorShowsIn(display, *window); })) << "the editor never showed in its window";

    const int x = static_cast<int>(knob->rect.centreX());
    const int y = static_cast<int>(knob->rect.centreY());
    const std::string to = " mousemove --window " + std::to_string(*window) + " " + std::to_string(x) + " ";
    std::string command = "DISPLAY=" + server.name() + " xdotool" + to + std::to_string(y) + " mousedown 1";
    for (int step = 1; step <= 4; ++step) command += to + std::to_string(y - 10 * step) + " sleep 0.05";
    command += " mouseup 1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    // The log is written as the calls happen: the gesture is complete before the window closes.
    ASSERT_TRUE(eventually([&] {
        const std::vector<LoggedCall> calls = readCalls(log);
        return !calls.empty() && calls.back().call == "end-edit";
    })) << "no end-edit in the log while the program runs:\n" << readText(log);

    display.askToClose(*window);
    const ViewRun run = program.finish();
    EXPECT_EQ(run.exitCode, 0) << run.err;

    const std::string text = readText(log);
    SCOPED_TRACE(text);
    const std::vector<LoggedCall> calls = readCalls(log);
    size_t begin = 0;
    while (begin < calls.size() && !(calls[begin].call == "begin-edit" && calls[begin].index == kMixTag)) ++begin;
    ASSERT_LT(begin, calls.size()) << "no begin-edit " << kMixTag;
    size_t end = begin + 1;
    std::vector<double> values;
    for (; end < calls.size() && calls[end].call != "end-edit"; ++end) {
        EXPECT_EQ(calls[end].call, "automate") << "line " << end + 1;
        EXPECT_EQ(calls[end].index, kMixTag) << "line " << end + 1;
        ASSERT_TRUE(calls[end].value.has_value()) << "line " << end + 1 << " has no value";
        values.push_back(*calls[end].value);
    }
    ASSERT_LT(end, calls.size()) << "no end-edit after begin-edit " << kMixTag;
    EXPECT_EQ(calls[end].index, kMixTag);
    ASSERT_FALSE(values.empty()) << "no automate " << kMixTag << " between begin-edit and end-edit";
    for (size_t i = 1; i < values.size(); ++i) EXPECT_GE(values[i], values[i - 1]) << "automate " << i + 1;
    EXPECT_GT(values.back(), values.front()) << "dragging the knob up did not raise its value";
    for (double value : values) {
        EXPECT_GE(value, 0.0);
        EXPECT_LE(value, 1.0);
    }
}

}  // namespace
}  // namespace ruvane::testing
