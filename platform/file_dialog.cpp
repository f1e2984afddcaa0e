#include "platform/file_dialog.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace ruvane {

namespace {

// How long an ended dialog may take to go after being asked to; then it is killed.
constexpr int kGraceMilliseconds = 500;
constexpr int kGracePollMilliseconds = 5;

std::string folderWithSlash(std::string folder) {
    if (folder.empty()) {
        const char* home = std::getenv("HOME");
        if (home == nullptr || *home == '\0') return {};
        folder = home;
    }
    if (folder.back() != '/') folder += '/';
    return folder;
}

bool endsWithExtension(const std::string& name, const std::string& extension) {
    const std::string suffix = "." + extension;
    if (name.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                  std::tolower(static_cast<unsigned char>(b)); });
}

void sleepMilliseconds(int ms) {
    timespec pause{0, static_cast<long>(ms) * 1000000L};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

// Waits for the child; true once it is reaped (or was reaped by someone else).
bool reap(pid_t child, bool wait) {
    for (;;) {
        const pid_t result = waitpid(child, nullptr, wait ? 0 : WNOHANG);
        if (result == child) return true;
        if (result == 0) return false;
        if (errno == EINTR) continue;
        return true;  // ECHILD: the host reaps children itself; it is gone either way
    }
}

}  // namespace

FileDialog::~FileDialog() { cancel(); }

std::vector<std::string> FileDialog::commandLine(const FileDialogRequest& request) {
    std::vector<std::string> args{kProgram, "--file-selection", "--title=" + request.title};
    if (!request.extension.empty())
        args.push_back("--file-filter=" + request.fileTypeName + " | *." + request.extension);
    if (request.mode == FileDialogRequest::Mode::Save) {
        args.push_back("--save");
        args.push_back("--confirm-overwrite");
    }
    std::string start = folderWithSlash(request.folder);
    if (request.mode == FileDialogRequest::Mode::Save) start += request.proposedName;
    if (!start.empty()) args.push_back("--filename=" + start);
    if (request.parentWindow != 0) {
        args.push_back("--attach=" + std::to_string(request.parentWindow));
        args.push_back("--modal");
    }
    return args;
}

std::vector<std::string> FileDialog::replaceQuestionCommandLine(const FileDialogRequest& request,
                                                                const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    // Plain text: a file name may hold characters that markup would take as tags.
    std::vector<std::string> args{kProgram, "--question", "--no-markup", "--title=" + request.title,
                                  "--text=A file named \"" + name + "\" already exists in \"" + folder +
                                      "\". Do you want to replace it?",
                                  "--ok-label=Replace", "--cancel-label=Cancel", "--default-cancel"};
    if (request.parentWindow != 0) {
        args.push_back("--attach=" + std::to_string(request.parentWindow));
        args.push_back("--modal");
    }
    return args;
}

bool FileDialog::start(const FileDialogRequest& request) {
    if (isOpen()) return false;
    if (!spawn(commandLine(request))) return false;
    request_ = request;
    stage_ = Stage::Choosing;
    pathToReplace_.clear();
    return true;
}

bool FileDialog::spawn(const std::vector<std::string>& args) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        std::fprintf(stderr, "Ruvane: cannot open the file dialog: %s\n", std::strerror(errno));
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    // Whatever the host left open without close-on-exec stays with the host.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

    // The child leads a process group of its own, so ending it also ends anything it
    // started; it gets default signal handling and no blocked signals, whatever the
    // host's thread had, so that it can be asked to go.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    pid_t child = -1;
    const int error = posix_spawnp(&child, kProgram, &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);

    if (error != 0) {
        close(pipeEnds[0]);
        if (error == ENOENT)
            std::fprintf(stderr,
                         "Ruvane: cannot show the file dialog: the program \"%s\" was not found. "
                         "Install the \"%s\" package (Debian and Ubuntu: sudo apt-get install %s).\n",
                         kProgram, kPackage, kPackage);
        else
            std::fprintf(stderr, "Ruvane: cannot start the file dialog (%s): %s\n", kProgram, std::strerror(error));
        return false;
    }

    fcntl(pipeEnds[0], F_SETFL, fcntl(pipeEnds[0], F_GETFL) | O_NONBLOCK);
    child_ = child;
    output_ = pipeEnds[0];
    answer_.clear();
    answerTooLong_ = false;
    return true;
}

bool FileDialog::readAnswer() {
    if (output_ < 0) return false;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(output_, buffer, sizeof buffer);
        if (got > 0) {
            if (answer_.size() + static_cast<std::size_t>(got) > kMaxAnswerBytes)
                answerTooLong_ = true;
            else
                answer_.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got == 0) return false;
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
}

void FileDialog::closeOutput() {
    if (output_ >= 0) close(output_);
    output_ = -1;
}

bool FileDialog::answerIsOnePath(std::string* path, bool* extended) const {
    if (answerTooLong_) return false;
    std::string answer = answer_;
    if (!answer.empty() && answer.back() == '\n') answer.pop_back();
    // Several files come one a line; a path never holds a zero byte.
    if (answer.empty() || answer.find('\n') != std::string::npos || answer.find('\0') != std::string::npos)
        return false;
    const std::size_t slash = answer.rfind('/');
    const std::string name = slash == std::string::npos ? answer : answer.substr(slash + 1);
    if (name.empty()) return false;  // a folder, not a file
    *extended = request_.mode == FileDialogRequest::Mode::Save && !request_.extension.empty() &&
                !endsWithExtension(name, request_.extension);
    if (*extended) answer += "." + request_.extension;
    *path = std::move(answer);
    return true;
}

FileDialog::Status FileDialog::poll(std::string* path) {
    if (!isOpen()) return Status::Closed;
    readAnswer();
    int status = 0;
    pid_t result;
    do {
        result = waitpid(child_, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) return Status::Open;

    // Ended. What it wrote before it went is all in the pipe now. A child the host
    // reaped itself (result < 0) leaves no status: a chosen path alone decides then,
    // but replacing a file needs a yes that was seen.
    readAnswer();
    closeOutput();
    child_ = -1;
    const bool saidYes = result > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (stage_ == Stage::ConfirmingReplace) return takeReplaceAnswer(saidYes, path);
    if (!saidYes && result > 0) return Status::NothingChosen;
    return takeChosenFile(path);
}

FileDialog::Status FileDialog::takeChosenFile(std::string* path) {
    std::string chosen;
    bool extended = false;
    if (!answerIsOnePath(&chosen, &extended)) return Status::NothingChosen;
    // The dialog confirmed the name as typed; the file the save would replace is another.
    struct stat existing {};
    if (extended && lstat(chosen.c_str(), &existing) == 0) {
        if (!spawn(replaceQuestionCommandLine(request_, chosen))) return Status::NothingChosen;
        stage_ = Stage::ConfirmingReplace;
        pathToReplace_ = std::move(chosen);
        return Status::Open;
    }
    if (path != nullptr) *path = std::move(chosen);
    return Status::Chosen;
}

FileDialog::Status FileDialog::takeReplaceAnswer(bool confirmed, std::string* path) {
    stage_ = Stage::Choosing;
    std::string chosen = std::move(pathToReplace_);
    pathToReplace_.clear();
    if (!confirmed) return Status::NothingChosen;
    if (path != nullptr) *path = std::move(chosen);
    return Status::Chosen;
}

void FileDialog::cancel() {
    if (!isOpen()) return;
    kill(-child_, SIGTERM);
    bool gone = reap(child_, false);
    for (int waited = 0; !gone && waited < kGraceMilliseconds; waited += kGracePollMilliseconds) {
        sleepMilliseconds(kGracePollMilliseconds);
        gone = reap(child_, false);
    }
    if (!gone) {
        kill(-child_, SIGKILL);
        reap(child_, true);
    }
    closeOutput();
    child_ = -1;
    stage_ = Stage::Choosing;
    pathToReplace_.clear();
}

}  // namespace ruvane
