// ruvane-view: shows Ruvane's editor in a window of its own, as a VST host does, or
// the toolkit-only control gallery. See --help.
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "effect/editor/layout.h"
#include "toolkit/platform_frame.h"
#include "tools/ruvane-render/exit_codes.h"
#include "tools/ruvane-render/plugin_loading.h"
#include "tools/ruvane-view/audio_player.h"
#include "tools/ruvane-view/gallery.h"
#include "tools/ruvane-view/host_call_log.h"
#include "tools/ruvane-view/options.h"
#include "tools/ruvane-view/plugin_editor.h"
#include "tools/ruvane-view/top_level_window.h"
#include "tools/ruvane-view/view_error.h"

namespace ruvane::view {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kWindowTitle = "Ruvane";
constexpr int kIdleIntervalMs = 33;  // 30 Hz, as hosts idle their editors
constexpr int kIdlePassesBeforeShot = 3;
constexpr double kSampleRate = 44100.0;
constexpr double kTempo = 120.0;

// Set by SIGINT and SIGTERM; the loop ends as if the window were closed.
volatile std::sig_atomic_t stopRequested = 0;
void requestStop(int) { stopRequested = 1; }

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// Runs the window at 30 Hz until it is closed, a signal arrives, or the screenshot is
// written.
void runWindow(TopLevelWindow& window, const std::function<void()>& idle, const ViewOptions& options) {
    std::optional<Clock::time_point> shotAt;
    int passes = 0;
    auto nextIdle = Clock::now();
    while (stopRequested == 0) {
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextIdle - Clock::now()).count();
        if (!window.handleEvents(static_cast<int>(std::max<long long>(wait, 0)))) break;
        if (Clock::now() < nextIdle) continue;
        idle();
        ++passes;
        nextIdle += std::chrono::milliseconds(kIdleIntervalMs);
        if (nextIdle < Clock::now()) nextIdle = Clock::now();
        if (!options.shot) continue;
        if (!shotAt && window.isMapped()) shotAt = Clock::now() + std::chrono::milliseconds(options.afterMs);
        if (shotAt && Clock::now() >= *shotAt && passes >= kIdlePassesBeforeShot) {
            window.writeScreenshot(*options.shot);
            return;
        }
    }
}

int scaledSide(double side, double scale) { return static_cast<int>(side * scale + 0.5); }

void showGallery(const ViewOptions& options) {
    const double scale = toolkit::desktopScaleFactor();
    TopLevelWindow window(scaledSide(layout::kEditorWidth, scale), scaledSide(layout::kEditorHeight, scale),
                          kWindowTitle);
    Gallery gallery;
    if (!gallery.open(reinterpret_cast<void*>(window.windowId())))
        throw ViewError(kExitFailed, "the gallery's frame could not open its window on the X display");
    runWindow(window, [&] { gallery.idle(); }, options);
    gallery.close();
}

std::unique_ptr<vsthost::PluginInstance> loadRuvane(const ViewOptions& options) {
    try {
        return render::loadPlugin(render::locatePlugin(options.plugin), kSampleRate, AudioPlayer::kBlockSize, kTempo);
    } catch (const render::ToolError& error) {
        throw ViewError(kExitNoPlugin, error.what());
    }
}

// Tells the user what the host-call log missed or could not keep.
void reportLogGaps(const HostCallLog& log) {
    if (log.skipped() > 0)
        std::fprintf(stderr, "ruvane-view: %ld host calls made on the audio thread are not in %s\n", log.skipped(),
                     log.path().c_str());
    if (!log.healthy()) std::fprintf(stderr, "ruvane-view: some host calls could not be written to %s\n", log.path().c_str());
}

void showPlugin(const ViewOptions& options) {
    // Made before the plug-in, so it outlives every call the plug-in makes.
    std::unique_ptr<HostCallLog> log;
    if (options.hostCallLog) log = std::make_unique<HostCallLog>(*options.hostCallLog);
    std::unique_ptr<vsthost::PluginInstance> plugin = loadRuvane(options);
    if (log)
        plugin->host().editObserver = [&log](VstInt32 opcode, VstInt32 index, float value) {
            log->record(opcode, index, value);
        };
    PluginEditor editor(*plugin);
    const double scale = toolkit::desktopScaleFactor();
    EditorSize size{scaledSide(layout::kEditorWidth, scale), scaledSide(layout::kEditorHeight, scale)};
    if (!editor.exists()) {
        std::fprintf(stderr, "ruvane-view: this Ruvane.so has no editor; the window stays empty "
                             "(ruvane-view --gallery shows the controls without one)\n");
    } else if (const auto reported = editor.size()) {
        size = *reported;
    }
    TopLevelWindow window(size.width, size.height, kWindowTitle);
    if (editor.exists()) {
        if (!editor.open(window.windowId()))
            throw ViewError(kExitFailed, "the plug-in refused to open its editor (effEditOpen answered 0)");
        // Some editors know their size only once open.
        if (const auto reported = editor.size(); reported && (reported->width != size.width || reported->height != size.height))
            window.resize(reported->width, reported->height);
    }
    std::unique_ptr<AudioPlayer> player;
    if (options.audio) {
        player = std::make_unique<AudioPlayer>(*plugin, kSampleRate, kTempo);
        player->start();
    }
    runWindow(window, [&] {
        editor.idle();
        plugin->host().automation.clear();  // the test host records every change; a viewer keeps none
    }, options);
    if (player) player->stop();
    editor.close();
    if (log) reportLogGaps(*log);
}

int run(const std::vector<std::string>& args, const std::string& programName) {
    const ViewOptions options = parseOptions(args);
    if (options.help) {
        std::fputs(helpText(programName).c_str(), stdout);
        return kExitOk;
    }
    if (options.version) {
        std::printf("ruvane-view %s\n", RUVANE_VERSION);
        return kExitOk;
    }
    if (options.scale) setenv("GDK_SCALE", std::to_string(*options.scale).c_str(), 1);
    installStopHandlers();
    if (options.gallery)
        showGallery(options);
    else
        showPlugin(options);
    return kExitOk;
}

}  // namespace
}  // namespace ruvane::view

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    int exitCode = ruvane::view::kExitOk;
    try {
        exitCode = ruvane::view::run(args, "ruvane-view");
    } catch (const ruvane::view::ViewError& error) {
        std::fprintf(stderr, "ruvane-view: %s\n", error.what());
        exitCode = error.code();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ruvane-view: %s\n", error.what());
        exitCode = ruvane::view::kExitFailed;
    }
    // Every window and frame is gone by now; emptying the font caches that cairo and
    // fontconfig keep for the process lets a leak checker see only real leaks.
    cairo_debug_reset_static_data();
    FcFini();
    return exitCode;
}
