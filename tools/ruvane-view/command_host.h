// Carries out the commands of ruvane-view --commands (see host_commands.h) on the
// program's window and plug-in, as the host would, and answers each on standard output.
#pragma once

#include <cstdio>
#include <string>

#include "tools/ruvane-view/host_commands.h"
#include "tools/ruvane-view/view_session.h"
#include "vst/host/plugin_host.h"

namespace ruvane::view {

class AudioPlayer;

class CommandHost {
public:
    // plugin and player may be null (the gallery; no --audio). Answers go to `answers`.
    CommandHost(ViewSession& session, vsthost::PluginInstance* plugin, AudioPlayer* player, std::FILE* answers);

    // Carries out one line and answers it (empty and comment lines get no answer).
    void run(const CommandLine& line);
    bool quitRequested() const { return quit_; }
    // Some command failed: the program's exit code says so at the end.
    bool anyFailed() const { return failed_; }

private:
    // The answer, or an error message (empty when it worked).
    struct Outcome {
        std::string answer;
        std::string error;
    };

    Outcome carryOut(const HostCommand& command);
    Outcome setParameter(int32_t index, float value);
    Outcome screenshot(const std::string& path);
    Outcome openWindow();
    Outcome closeWindow();
    std::string noParameter(const char* command, int32_t index) const;
    void answer(const Outcome& outcome, const std::string& line);

    ViewSession& session_;
    vsthost::PluginInstance* plugin_;
    AudioPlayer* player_;
    std::FILE* answers_;
    bool quit_ = false;
    bool failed_ = false;
};

}  // namespace ruvane::view
