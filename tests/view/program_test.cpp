// The ruvane-view program as a user runs it: help, errors and exit codes, screenshots
// of the gallery and of the plug-in's window, and a real X click on a gallery button.
#include <gtest/gtest.h>

#include <string>

#include "effect/editor/bitmap_resources.h"
#include "effect/editor/layout.h"
#include "effect/engine/parameters.h"
#include "view_support.h"

namespace ruvane::testing {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ViewProgram, HelpGoesToStandardOutput) {
    const ViewRun run = runView({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(contains(run.out, "Usage: ruvane-view")) << run.out;
    EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST(ViewProgram, ErrorsSayWhatToDoAndExitWithTheirCode) {
    // Holding a connection keeps the test's X server from restarting between programs.
    TestDisplay display;
    RUVANE_REQUIRE_DISPLAY(display);
    struct Case {
        std::vector<std::string> args;
        bool withDisplay;
        int exitCode;
        std::string says;
    };
    const Case cases[] = {
        {{"--scale", "4"}, true, 2, "--scale wants a whole number from 1 to 2"},
        {{"--frobnicate"}, true, 2, "see --help"},
        {{"--gallery"}, false, 3, "xvfb-run"},
        {{"--plugin", "/nonexistent/Ruvane.so"}, true, 4, "cannot load plug-in '/nonexistent/Ruvane.so'"},
        {{"--gallery", "--shot", "/nonexistent-folder/shot.png", "--after", "0"}, true, 1, "cannot write the screenshot"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const ViewRun run = runView(c.args, c.withDisplay);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_TRUE(contains(run.err, "ruvane-view: ")) << run.err;
        EXPECT_TRUE(contains(run.err, c.says)) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
}

bool showsBitmap(const layout::Control& entry) {
    return entry.bitmap != 0 && entry.bitmap != layout::kBackgroundBitmap;
}

// Whether a control drawn after `index` in the layout covers the 1x point.
bool coveredByLaterControl(size_t index, double x, double y) {
    for (size_t later = index + 1; later < layout::kControls.size(); ++later)
        if (showsBitmap(layout::kControls[later]) && layout::kControls[later].rect.contains(x, y)) return true;
    return false;
}

// The gallery's screenshot at each scale: the window's size, the background bitmap
// wherever no control sits, and each two-state button showing its start position.
TEST(ViewProgram, GalleryScreenshotShowsTheBackgroundAndTheControls) {
    PrivateXServer server;
    RUVANE_REQUIRE_SERVER(server);
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        TempFolder folder;
        const fs::path shot = folder.path() / "gallery.png";
        const ViewRun run = runView({"--gallery", "--scale", std::to_string(scale), "--shot", shot.string(),
                                     "--after", "100"},
                                    true, server.name());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Pixels pixels = readPng(shot);
        ASSERT_EQ(pixels.width, 875 * scale);
        ASSERT_EQ(pixels.height, 171 * scale);

        const Pixels background = decodePng(bitmapPng(layout::kBackgroundBitmap, scale));
        ASSERT_EQ(background.width, pixels.width);
        int differing = 0, compared = 0;
        for (int y = 0; y < pixels.height; ++y)
            for (int x = 0; x < pixels.width; ++x) {
                bool covered = false;
                for (const layout::Control& entry : layout::kControls)
                    covered = covered || (showsBitmap(entry) && entry.rect.contains((x + 0.5) / scale, (y + 0.5) / scale));
                if (covered) continue;
                ++compared;
                differing += pixels.at(x, y) != background.at(x, y);
            }
        EXPECT_GT(compared, pixels.width * pixels.height / 2);
        EXPECT_EQ(differing, 0);

        for (size_t index = 0; index < layout::kControls.size(); ++index) {
            const layout::Control& entry = layout::kControls[index];
            if (entry.kind != layout::ControlKind::OnOffButton) continue;
            SCOPED_TRACE(entry.tag);
            const Pixels strip = decodePng(bitmapPng(entry.bitmap, scale));
            const int frameHeight = strip.height / 2;
            const int frame = switchPosition(static_cast<float>(entry.startValue), 2);
            const int left = static_cast<int>(entry.rect.left) * scale;
            const int top = static_cast<int>(entry.rect.top) * scale;
            int wrong = 0;
            for (int y = 0; y < frameHeight; ++y)
                for (int x = 0; x < strip.width; ++x)
                    if (!coveredByLaterControl(index, (left + x + 0.5) / scale, (top + y + 0.5) / scale))
                        wrong += pixels.at(left + x, top + y) != strip.at(x, frame * frameHeight + y);
            EXPECT_EQ(wrong, 0);
        }
    }
}

// A window that does not fit on the screen cannot be read back; the program says so.
TEST(ViewProgram, ScreenshotOfAWindowLargerThanTheScreenFailsWithAReason) {
    PrivateXServer server(PrivateXServer::Display::Untouched, "800x600x24");
    RUVANE_REQUIRE_SERVER(server);
    TempFolder folder;
    const ViewRun run = runView({"--gallery", "--shot", (folder.path() / "shot.png").string(), "--after", "0"}, true,
                                server.name());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(contains(run.err, "it must lie wholly on the screen (the screen is 800 x 600, the window 875 x 171)"))
        << run.err;
    EXPECT_FALSE(fs::exists(folder.path() / "shot.png"));
}

TEST(ViewProgram, PluginWindowScreenshotHasTheEditorSize) {
    TestDisplay display;
    RUVANE_REQUIRE_DISPLAY(display);
    TempFolder folder;
    const fs::path shot = folder.path() / "editor.png";
    const ViewRun run =
        runView({"--plugin", RUVANE_PLUGIN_PATH, "--audio", "--shot", shot.string(), "--after", "300"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Pixels pixels = readPng(shot);
    EXPECT_EQ(pixels.width, 875);
    EXPECT_EQ(pixels.height, 171);
}

// Closing the window, or a Ctrl+C or a termination request, ends the program cleanly
// while the plug-in plays: editor closed, audio stopped, effect closed, exit code 0.
TEST(ViewProgram, EndsCleanlyWhenClosedOrInterrupted) {
    TestDisplay display;
    RUVANE_REQUIRE_DISPLAY(display);
    enum class Ending { CloseWindow, Interrupt, Terminate };
    for (Ending ending : {Ending::CloseWindow, Ending::Interrupt, Ending::Terminate}) {
        SCOPED_TRACE(static_cast<int>(ending));
        ViewProcess program({"--plugin", RUVANE_PLUGIN_PATH, "--audio"});
        std::optional<Window> window;
        ASSERT_TRUE(eventually([&] { return (window = display.findWindow("Ruvane", program.pid())).has_value(); }));
        switch (ending) {
            case Ending::CloseWindow: display.askToClose(*window); break;
            case Ending::Interrupt: kill(program.pid(), SIGINT); break;
            case Ending::Terminate: kill(program.pid(), SIGTERM); break;
        }
        const ViewRun run = program.finish();
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.signal, 0);
    }
}

// The gallery program at a scale, its window found once it shows, clicked with real
// X events (xdotool, through the XTEST extension) and read back from the X server.
class GalleryWindow {
public:
    GalleryWindow(const PrivateXServer& server, const TestDisplay& display, int scale)
        : display_(display), scale_(scale), program_({"--gallery", "--scale", std::to_string(scale)}, true, server.name()) {
        shown_ = eventually([&] { return (window_ = display_.findWindow(kTitle, program_.pid())).has_value(); });
    }
    bool shown() const { return shown_; }

    // The pixels of a panel rectangle (1x units) as the window shows them now.
    Pixels area(const layout::Rect& rect) const {
        return display_.grab(*window_, static_cast<int>(rect.left) * scale_, static_cast<int>(rect.top) * scale_,
                             static_cast<int>(rect.width()) * scale_, static_cast<int>(rect.height()) * scale_);
    }
    bool areaShows(const layout::Rect& rect, const Pixels& expected) const {
        return eventually([&] { return area(rect) == expected; });
    }
    void click(double x, double y) const {
        const std::string command = "DISPLAY=" + display_.name() + " xdotool mousemove --window " + std::to_string(*window_) + " " +
                                    std::to_string(static_cast<int>(x * scale_)) + " " +
                                    std::to_string(static_cast<int>(y * scale_)) + " click 1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    // Closes it as a window manager does; the program must end cleanly.
    void close() {
        display_.askToClose(*window_);
        const ViewRun run = program_.finish();
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_FALSE(display_.findWindow(kTitle, program_.pid()).has_value());
    }

private:
    static constexpr const char* kTitle = "Ruvane";
    const TestDisplay& display_;
    int scale_;
    ViewProcess program_;
    std::optional<Window> window_;
    bool shown_ = false;
};

// Frame `frame` of a film strip, at a scale.
Pixels stripFrame(int bitmap, int frames, int frame, int scale) {
    const Pixels strip = decodePng(bitmapPng(bitmap, scale));
    const int frameHeight = strip.height / frames;
    return strip.crop(0, frame * frameHeight, strip.width, frameHeight);
}

// A click on a two-state button turns it on: the next picture shows its second frame,
// at both densities (the click lands in 1x units either way).
TEST(ViewProgram, ClickOnAGalleryButtonChangesItsFrame) {
    PrivateXServer server;
    RUVANE_REQUIRE_SERVER(server);
    TestDisplay display(server.name());
    RUVANE_REQUIRE_DISPLAY(display);
    const layout::Control* button = layout::findControl(7);  // DlyL FbInv, off at the start
    ASSERT_NE(button, nullptr);
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const Pixels off = stripFrame(button->bitmap, 2, 0, scale);
        const Pixels on = stripFrame(button->bitmap, 2, 1, scale);
        ASSERT_NE(off, on);
        GalleryWindow gallery(server, display, scale);
        ASSERT_TRUE(gallery.shown()) << "the gallery window never showed";
        ASSERT_TRUE(gallery.areaShows(button->rect, off)) << "the button never showed its off frame";
        gallery.click(button->rect.centreX(), button->rect.centreY());
        EXPECT_TRUE(gallery.areaShows(button->rect, on)) << "the click did not turn the button on";
        gallery.click(button->rect.centreX(), button->rect.centreY());
        EXPECT_TRUE(gallery.areaShows(button->rect, off)) << "a second click did not turn it off";
        gallery.close();
    }
}

// A click on the about trigger shows the about screen over the panel; a click on the
// screen takes it away.
TEST(ViewProgram, AboutScreenComesAndGoesWithClicks) {
    PrivateXServer server;
    RUVANE_REQUIRE_SERVER(server);
    TestDisplay display(server.name());
    RUVANE_REQUIRE_DISPLAY(display);
    const layout::Control* about = layout::findControl(70);
    ASSERT_NE(about, nullptr);
    const layout::Rect corner{0, 0, 600, 16};  // above every control, clear of the version text
    const Pixels panel = decodePng(bitmapPng(layout::kBackgroundBitmap, 1)).crop(0, 0, 600, 16);
    const Pixels splash = decodePng(bitmapPng(layout::kAboutBitmap, 1)).crop(0, 0, 600, 16);
    ASSERT_NE(panel, splash);

    GalleryWindow gallery(server, display, 1);
    ASSERT_TRUE(gallery.shown());
    ASSERT_TRUE(gallery.areaShows(corner, panel));
    gallery.click(about->rect.centreX(), about->rect.centreY());
    EXPECT_TRUE(gallery.areaShows(corner, splash)) << "the about screen did not show";
    gallery.click(100, 100);
    EXPECT_TRUE(gallery.areaShows(corner, panel)) << "the about screen did not go away";
    gallery.close();
}

}  // namespace
}  // namespace ruvane::testing
