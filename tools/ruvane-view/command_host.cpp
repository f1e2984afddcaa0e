#include "tools/ruvane-view/command_host.h"

#include <cstdio>

#include "tools/ruvane-view/audio_player.h"
#include "tools/ruvane-view/heap_in_use.h"
#include "tools/ruvane-view/view_error.h"

namespace ruvane::view {

namespace {

constexpr long kIdlePassesBeforeShot = 3;
constexpr const char* kNoPlugin = "the gallery has no plug-in";

// One line whatever the name holds.
std::string printable(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return text;
}

}  // namespace

CommandHost::CommandHost(ViewSession& session, vsthost::PluginInstance* plugin, AudioPlayer* player,
                         std::FILE* answers)
    : session_(session), plugin_(plugin), player_(player), answers_(answers) {}

void CommandHost::run(const CommandLine& line) {
    if (line.tooLong) {
        answer({{}, "a command line is at most " + std::to_string(kMaxCommandLineBytes) + " bytes"}, "(too long)");
        return;
    }
    std::string error;
    const std::optional<HostCommand> command = parseHostCommand(line.text, &error);
    if (!command) {
        if (!error.empty()) answer({{}, error}, line.text);
        return;
    }
    answer(carryOut(*command), line.text);
}

void CommandHost::answer(const Outcome& outcome, const std::string& line) {
    if (outcome.error.empty()) {
        std::fprintf(answers_, "%s\n", outcome.answer.c_str());
    } else {
        failed_ = true;
        std::fprintf(stderr, "ruvane-view: '%s': %s\n", printable(line).c_str(), outcome.error.c_str());
        std::fprintf(answers_, "error\n");
    }
    std::fflush(answers_);
}

std::string CommandHost::noParameter(const char* command, int32_t index) const {
    const int count = plugin_->effect()->numParams;
    return std::string(command) + ": there is no parameter " + std::to_string(index) + " (the plug-in has " +
           std::to_string(count) + ", numbered 0 to " + std::to_string(count - 1) + ")";
}

CommandHost::Outcome CommandHost::carryOut(const HostCommand& command) {
    using Kind = HostCommand::Kind;
    switch (command.kind) {
        case Kind::Set:
            if (plugin_ == nullptr) return {{}, kNoPlugin};
            return setParameter(command.index, command.value);
        case Kind::Get: {
            if (plugin_ == nullptr) return {{}, kNoPlugin};
            if (command.index >= plugin_->effect()->numParams) return {{}, noParameter("get", command.index)};
            char text[32];
            std::snprintf(text, sizeof text, "%.9g", static_cast<double>(plugin_->getParameter(command.index)));
            return {text, {}};
        }
        case Kind::ProgramName:
            if (plugin_ == nullptr) return {{}, kNoPlugin};
            return {printable(plugin_->programName()), {}};
        case Kind::Shot: return screenshot(command.path);
        case Kind::Open: return openWindow();
        case Kind::Close: return closeWindow();
        case Kind::Heap: return {std::to_string(heapInUseBytes()), {}};
        case Kind::Quit: quit_ = true; return {"ok", {}};
    }
    return {{}, "unknown command"};
}

CommandHost::Outcome CommandHost::setParameter(int32_t index, float value) {
    if (index >= plugin_->effect()->numParams) return {{}, noParameter("set", index)};
    if (player_ == nullptr) {
        plugin_->setParameter(index, value);  // the host's own thread
        return {"ok", {}};
    }
    // The audio thread takes it before its next block; the window keeps running meanwhile.
    if (!session_.runUntil([&] { return player_->postParameter(index, value); }) ||
        !session_.runUntil([&] { return player_->parameterChangesApplied(); }))
        return {{}, "the program is ending"};
    return {"ok", {}};
}

CommandHost::Outcome CommandHost::screenshot(const std::string& path) {
    if (!session_.isOpen()) return {{}, "shot: the window is closed (open it first)"};
    const long from = session_.idlePasses();
    if (!session_.runUntil([&] { return session_.shows() && session_.idlePasses() >= from + kIdlePassesBeforeShot; }))
        return {{}, "the program is ending"};
    try {
        session_.window()->writeScreenshot(path);
    } catch (const ViewError& error) {
        return {{}, error.what()};
    }
    return {"ok", {}};
}

CommandHost::Outcome CommandHost::openWindow() {
    if (session_.isOpen()) return {{}, "open: the window is open already"};
    try {
        session_.openWindow();
    } catch (const ViewError& error) {
        return {{}, error.what()};
    }
    // Answered once it shows, so a script's next click lands on the editor.
    if (!session_.runUntil([&] { return session_.shows(); })) return {{}, "the program is ending"};
    return {"ok", {}};
}

CommandHost::Outcome CommandHost::closeWindow() {
    if (!session_.isOpen()) return {{}, "close: the window is closed already"};
    session_.closeWindow();
    return {"ok", {}};
}

}  // namespace ruvane::view
