#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string>

namespace ruvane {

namespace {

constexpr int kTemporaryNameAttempts = 16;
// Enough of the target's name to tell temporary files apart, short of the name limit.
constexpr std::size_t kTemporaryNameStemBytes = 64;
constexpr mode_t kNewFileMode = 0666;  // narrowed by the user's umask
constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded (a late write error shows here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool readFully(int fd, uint8_t* bytes, std::size_t size, std::size_t& done) {
    done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, bytes + done, size - done);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool writeFully(int fd, const uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A fresh name beside the target; the caller creates it exclusively and tries again
// on the rare clash.
std::string temporaryName(const std::filesystem::path& target) {
    std::random_device entropy;
    std::string stem = target.filename().string().substr(0, kTemporaryNameStemBytes);
    return "." + stem + "." + std::to_string(::getpid()) + "-" + std::to_string(entropy()) + ".tmp";
}

// The file a save really replaces: a link is followed so that it keeps pointing there.
std::filesystem::path resolveTarget(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) {
        std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
        if (!error) return resolved;
    }
    return path;
}

void syncFolder(const std::filesystem::path& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

std::optional<FileStart> readFileStart(const std::filesystem::path& path, std::span<uint8_t> buffer) {
    std::memset(buffer.data(), 0, buffer.size());
    // Non-blocking so that a named pipe cannot hold us up before it is turned away.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) return std::nullopt;
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;

    FileStart start;
    if (!readFully(fd.get(), buffer.data(), buffer.size(), start.bytesRead)) {
        std::memset(buffer.data(), 0, buffer.size());
        return std::nullopt;
    }
    if (start.bytesRead == buffer.size()) {
        uint8_t probe;
        std::size_t extra = 0;
        start.hasMore = readFully(fd.get(), &probe, 1, extra) && extra == 1;
    }
    return start;
}

bool replaceFile(const std::filesystem::path& path, std::span<const uint8_t> data) {
    const std::filesystem::path target = resolveTarget(path);
    if (target.filename().empty()) return false;
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";

    mode_t mode = kNewFileMode;
    bool keepMode = false;
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode)) return false;
        // Read-only stays read-only, also for a user whom the system would let write.
        if ((existing.st_mode & kAnyWriteBit) == 0 || ::access(target.c_str(), W_OK) != 0) return false;
        mode = existing.st_mode & 07777;
        keepMode = true;
    } else if (errno != ENOENT) {
        return false;
    }

    std::filesystem::path temporary;
    int fdNumber = -1;
    for (int attempt = 0; attempt < kTemporaryNameAttempts && fdNumber < 0; ++attempt) {
        temporary = folder / temporaryName(target);
        fdNumber = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fdNumber < 0 && errno != EEXIST) return false;
    }
    if (fdNumber < 0) return false;
    FileDescriptor fd(fdNumber);

    // An existing file keeps its permissions; a new one gets what the umask allows.
    bool written = writeFully(fd.get(), data.data(), data.size());
    if (written && keepMode) written = ::fchmod(fd.get(), mode) == 0;
    written = written && ::fsync(fd.get()) == 0;
    written = fd.close() && written;
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

}  // namespace ruvane
