// ruvane-view: shows Ruvane's editor in a window of its own, as a VST host does, or
// the toolkit-only control gallery. See --help.
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "effect/editor/layout.h"
#include "toolkit/platform_frame.h"
#include "tools/ruvane-render/exit_codes.h"
#include "tools/ruvane-render/plugin_loading.h"
#include "tools/ruvane-view/audio_player.h"
#include "tools/ruvane-view/command_host.h"
#include "tools/ruvane-view/gallery.h"
#include "tools/ruvane-view/host_call_log.h"
#include "tools/ruvane-view/options.h"
#include "tools/ruvane-view/plugin_editor.h"
#include "tools/ruvane-view/top_level_window.h"
#include "tools/ruvane-view/view_error.h"
#include "tools/ruvane-view/view_session.h"

namespace ruvane::view {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kWindowTitle = "Ruvane";
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

// Runs the window until it is closed, a signal arrives, or the screenshot is written.
void runWindow(ViewSession& session, const ViewOptions& options) {
    std::optional<Clock::time_point> shotAt;
    while (!session.ending()) {
        session.runOnce();
        if (!options.shot) continue;
        if (!shotAt && session.shows()) shotAt = Clock::now() + std::chrono::milliseconds(options.afterMs);
        if (shotAt && Clock::now() >= *shotAt) {
            session.window()->writeScreenshot(*options.shot);
            return;
        }
    }
}

// Runs the window and carries out the commands of standard input until quit, the end
// of the input, a closed window or a signal. Returns the exit code.
int runCommands(ViewSession& session, vsthost::PluginInstance* plugin, AudioPlayer* player) {
    // A script that stops reading its answers must not end the program by a signal.
    std::signal(SIGPIPE, SIG_IGN);
    CommandHost host(session, plugin, player, stdout);
    CommandLines input(STDIN_FILENO);
    // Commands are taken once the window shows, so a script's first click finds it.
    session.runUntil([&] { return session.shows(); });
    bool inputOpen = true;
    std::vector<CommandLine> lines;
    while (inputOpen && !host.quitRequested() && !session.ending()) {
        if (!session.runOnce(input.fd())) continue;
        lines.clear();
        inputOpen = input.read(&lines);
        for (const CommandLine& line : lines) {
            if (host.quitRequested() || session.ending()) break;
            host.run(line);
        }
    }
    return host.anyFailed() ? kExitCommandFailed : kExitOk;
}

int scaledSide(double side, double scale) { return static_cast<int>(side * scale + 0.5); }

int showGallery(const ViewOptions& options) {
    const double scale = toolkit::desktopScaleFactor();
    Gallery gallery;
    WindowContent content;
    content.width = scaledSide(layout::kEditorWidth, scale);
    content.height = scaledSide(layout::kEditorHeight, scale);
    content.open = [&](TopLevelWindow& window) {
        if (!gallery.open(reinterpret_cast<void*>(window.windowId())))
            throw ViewError(kExitFailed, "the gallery's frame could not open its window on the X display");
        return true;
    };
    content.idle = [&] { gallery.idle(); };
    content.close = [&] { gallery.close(); };
    ViewSession session(std::move(content), kWindowTitle, stopRequested);
    session.openWindow();
    if (options.commands) return runCommands(session, nullptr, nullptr);
    runWindow(session, options);
    return kExitOk;
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

int showPlugin(const ViewOptions& options) {
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
    WindowContent content;
    content.width = scaledSide(layout::kEditorWidth, scale);
    content.height = scaledSide(layout::kEditorHeight, scale);
    if (!editor.exists()) {
        std::fprintf(stderr, "ruvane-view: this Ruvane.so has no editor; the window stays empty "
                             "(ruvane-view --gallery shows the controls without one)\n");
    } else if (const auto reported = editor.size()) {
        content.width = reported->width;
        content.height = reported->height;
    }
    content.open = [&](TopLevelWindow& window) {
        if (!editor.exists()) return true;
        if (!editor.open(window.windowId())) return false;
        // Some editors know their size only once open.
        if (const auto reported = editor.size();
            reported && (reported->width != window.width() || reported->height != window.height()))
            window.resize(reported->width, reported->height);
        return true;
    };
    content.idle = [&] {
        editor.idle();
        plugin->host().automation.clear();  // the test host records every change; a viewer keeps none
    };
    content.close = [&] { editor.close(); };
    int exitCode = kExitOk;
    {
        ViewSession session(std::move(content), kWindowTitle, stopRequested);
        session.openWindow();
        std::unique_ptr<AudioPlayer> player;
        if (options.audio) {
            player = std::make_unique<AudioPlayer>(*plugin, kSampleRate, kTempo);
            player->start();
        }
        if (options.commands)
            exitCode = runCommands(session, plugin.get(), player.get());
        else
            runWindow(session, options);
        if (player) player->stop();
    }  // the editor closes with its window, before the plug-in goes
    if (log) reportLogGaps(*log);
    return exitCode;
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
    return options.gallery ? showGallery(options) : showPlugin(options);
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
