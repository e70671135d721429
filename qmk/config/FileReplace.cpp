#include "qmk/config/FileReplace.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qmk::config {

namespace {

namespace fs = std::filesystem;

constexpr int maxLinks = 40; // the kernel's own limit for one path

std::runtime_error failure(const std::string& what, const std::string& file, int error)
{
    return std::runtime_error(what + " " + file + ": " + std::strerror(error));
}

// A file descriptor, closed once.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes it now: 0, or the error of the close (a write the disk refused shows here too).
    int close()
    {
        const int fd = std::exchange(fd_, -1);
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// The temporary file, removed unless it was renamed.
struct TemporaryFile {
    std::string path;
    bool renamed = false;
    ~TemporaryFile()
    {
        if (!renamed)
            ::unlink(path.c_str());
    }
};

int writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        text.remove_prefix(std::size_t(n));
    }
    return 0;
}

// The text into the open temporary file, with the mode of the target it replaces: 0, or the error.
int writeTemporary(int fd, std::string_view text, const struct stat* target)
{
    if (target && ::fchmod(fd, target->st_mode & 07777) != 0)
        return errno;
    if (const int error = writeAll(fd, text))
        return error;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Writes the text into the file itself, emptied first: where no temporary file can be made beside
// it. Throws as replaceFile does.
void overwrite(const std::string& file, std::string_view text)
{
    // (a pipe put in the file's place meanwhile does not hold the program up)
    Descriptor out(::open(file.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (out.get() < 0)
        throw failure("cannot write", file, errno);
    int error = writeAll(out.get(), text);
    if (!error && ::fsync(out.get()) != 0)
        error = errno;
    if (const int closed = out.close(); !error)
        error = closed;
    if (error)
        throw failure("cannot write", file, error);
}

// A refusal for permission. A read-only file system (EROFS) is not one: it refuses the write into
// the file itself too, and the new file it could not make is the one named.
bool deniedByFolder(int error)
{
    return error == EACCES || error == EPERM;
}

// Makes the rename itself durable; a folder that cannot be synced still holds the new file.
void syncFolder(const fs::path& folder)
{
    Descriptor dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

} // namespace

std::string linkTarget(const std::string& path)
{
    fs::path current = path;
    for (int links = 0; links <= maxLinks; ++links) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(current, ec)))
            return current.string();
        const fs::path next = fs::read_symlink(current, ec);
        if (ec)
            throw std::runtime_error("cannot read the link " + current.string() + ": " +
                                     ec.message());
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    throw failure("cannot follow", path, ELOOP);
}

void replaceFile(const std::string& path, std::string_view text)
{
    replaceFile(path, text, [](const char* file, unsigned mode) {
        return ::open(file, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode_t(mode));
    });
}

void replaceFile(const std::string& path, std::string_view text, CreateNew createNew)
{
    const std::string target = linkTarget(path);
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    const std::string tempPath = target + ".new";
    const int kept = ::unlink(tempPath.c_str()) == 0 ? 0 : errno; // left by a crash
    Descriptor out(createNew(tempPath.c_str(), 0666));
    if (out.get() < 0) {
        // a stale file the folder would not let go of: the folder refused it
        const int refused = errno == EEXIST && deniedByFolder(kept) ? kept : errno;
        // only a folder that takes no new file has the file itself written (a plain one): a
        // full disk or quota could leave it empty
        if (!deniedByFolder(refused) || !existed || !S_ISREG(old.st_mode))
            throw failure("cannot write", tempPath, refused);
        return overwrite(target, text);
    }
    TemporaryFile temp{tempPath};
    int error = writeTemporary(out.get(), text, existed ? &old : nullptr);
    if (const int closed = out.close(); !error)
        error = closed;
    if (error)
        throw failure("cannot write", tempPath, error);
    if (::rename(tempPath.c_str(), target.c_str()) != 0)
        throw failure("cannot replace", target, errno);
    temp.renamed = true;
    syncFolder(fs::path(target).parent_path());
}

} // namespace qmk::config
