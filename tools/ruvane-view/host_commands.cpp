#include "tools/ruvane-view/host_commands.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>

namespace ruvane::view {

namespace {

std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t') ++at;
        if (at > start) words.push_back(line.substr(start, at - start));
    }
    return words;
}

std::optional<int32_t> wholeNumber(std::string_view text) {
    int32_t value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || stop != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<float> number(std::string_view text) {
    float value = 0.0f;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || stop != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<HostCommand> fail(std::string* error, std::string message) {
    if (error != nullptr) *error = std::move(message);
    return std::nullopt;
}

}  // namespace

std::optional<HostCommand> parseHostCommand(std::string_view line, std::string* error) {
    if (error != nullptr) error->clear();
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string_view> words = wordsOf(line);
    if (words.empty() || words[0].front() == '#') return std::nullopt;
    const std::string_view name = words[0];
    const std::size_t arguments = words.size() - 1;
    auto wants = [&](std::size_t count, const char* usage) {
        if (arguments == count) return true;
        fail(error, std::string(name) + " wants " + usage);
        return false;
    };

    HostCommand command;
    if (name == "set") {
        if (!wants(2, "INDEX VALUE, such as: set 2 0.75")) return std::nullopt;
        const auto index = wholeNumber(words[1]);
        if (!index || *index < 0)
            return fail(error, "set: INDEX must be a parameter number, not '" + std::string(words[1]) + "'");
        const auto value = number(words[2]);
        if (!value || *value < 0.0f || *value > 1.0f)
            return fail(error, "set: VALUE must be a number from 0 to 1, not '" + std::string(words[2]) + "'");
        command.kind = HostCommand::Kind::Set;
        command.index = *index;
        command.value = *value;
    } else if (name == "get") {
        if (!wants(1, "INDEX, such as: get 2")) return std::nullopt;
        const auto index = wholeNumber(words[1]);
        if (!index || *index < 0)
            return fail(error, "get: INDEX must be a parameter number, not '" + std::string(words[1]) + "'");
        command.kind = HostCommand::Kind::Get;
        command.index = *index;
    } else if (name == "shot") {
        // The file name is the rest of the line, so it may hold spaces.
        const auto afterName = static_cast<std::size_t>(name.data() + name.size() - line.data());
        const std::size_t start = line.find_first_not_of(" \t", afterName);
        if (start == std::string_view::npos) return fail(error, "shot wants FILE.png, such as: shot editor.png");
        std::string_view path = line.substr(start);
        while (!path.empty() && (path.back() == ' ' || path.back() == '\t')) path.remove_suffix(1);
        command.kind = HostCommand::Kind::Shot;
        command.path = std::string(path);
    } else {
        static constexpr struct {
            std::string_view name;
            HostCommand::Kind kind;
        } kPlain[] = {{"program-name", HostCommand::Kind::ProgramName}, {"open", HostCommand::Kind::Open},
                      {"close", HostCommand::Kind::Close},              {"heap", HostCommand::Kind::Heap},
                      {"quit", HostCommand::Kind::Quit}};
        bool known = false;
        for (const auto& plain : kPlain) {
            if (plain.name != name) continue;
            if (!wants(0, "no arguments")) return std::nullopt;
            command.kind = plain.kind;
            known = true;
        }
        if (!known) return fail(error, "unknown command '" + std::string(name) + "' (see --help)");
    }
    return command;
}

bool CommandLines::read(std::vector<CommandLine>* lines) {
    char buffer[4096];
    ssize_t got;
    do {
        got = ::read(fd_, buffer, sizeof buffer);
    } while (got < 0 && errno == EINTR);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    if (got <= 0) {
        // The end of the input (or a descriptor that cannot be read) ends the commands.
        if (skippingLongLine_) lines->push_back({{}, true});
        if (!partial_.empty()) lines->push_back({std::move(partial_), false});
        partial_.clear();
        skippingLongLine_ = false;
        return false;
    }
    for (ssize_t i = 0; i < got; ++i) {
        const char c = buffer[i];
        if (c == '\n') {
            lines->push_back({std::move(partial_), skippingLongLine_});
            partial_.clear();
            skippingLongLine_ = false;
        } else if (!skippingLongLine_) {
            partial_ += c;
            if (partial_.size() > kMaxCommandLineBytes) {
                partial_.clear();
                skippingLongLine_ = true;
            }
        }
    }
    return true;
}

std::string hostCommandsHelp() {
    return R"(Commands (--commands): one a line on standard input; each answers one line on
standard output once it is done: "ok", the value asked for, or "error" (and stderr
says why). The program ends at "quit" or at the end of the input.
  set INDEX VALUE   the host sets parameter INDEX to VALUE (0 to 1): with --audio on
                    the audio thread before its next block, as a host's automation
                    arrives; without --audio on the host's own thread
  get INDEX         answers the parameter's value
  program-name      answers the current program's name (control characters as ?)
  shot FILE.png     idles the editor three times, then writes what the window shows
  close             closes the editor and its window, as a host does
  open              opens a new window and the editor in it
  heap              answers the bytes the process has taken from the heap allocator
  quit              ends the program
)";
}

}  // namespace ruvane::view
