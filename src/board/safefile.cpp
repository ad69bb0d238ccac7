#include "board/safefile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "board/errors.h"

namespace obrin {

namespace fs = std::filesystem;

namespace {

constexpr int MaxSymlinkHops = 40;  // as the kernel's own limit

[[noreturn]] void FileError(const fs::path& file, const std::string& what) {
    throw EObrinError(file.string() + ": " + what);
}

std::string SystemError() {
    return std::strerror(errno);
}

// What a file that is no regular file is, in words.
std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
    if (S_ISSOCK(mode)) return "a socket";
    return "a special file";
}

std::string NotRegular(mode_t mode) {
    return "is " + KindOf(mode) + ", not a regular file";
}

std::string SizeText(std::uintmax_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MB";
    return std::to_string(bytes) + " bytes";
}

// Closes a descriptor when it goes out of scope.
class TFd {
  public:
    explicit TFd(int fd) : m_fd(fd) {}
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    ~TFd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    [[nodiscard]] int Get() const { return m_fd; }
    // Closes now and tells whether the close succeeded (a full disk may show only here).
    [[nodiscard]] bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

  private:
    int m_fd;
};

// Removes a temporary file unless it is kept.
class TTempFile {
  public:
    explicit TTempFile(std::string path) : m_path(std::move(path)) {}
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    ~TTempFile() {
        if (!m_kept) ::unlink(m_path.c_str());
    }
    [[nodiscard]] const std::string& Path() const { return m_path; }
    void Keep() { m_kept = true; }

  private:
    std::string m_path;
    bool m_kept = false;
};

std::optional<struct stat> Lstat(const fs::path& file) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) return std::nullopt;
    return st;
}

fs::path ResolveSymlinks(const fs::path& target) {
    fs::path file = target;
    for (int hop = 0; hop < MaxSymlinkHops; ++hop) {
        const auto st = Lstat(file);
        if (!st || !S_ISLNK(st->st_mode)) return file;
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(file.c_str(), buffer, sizeof buffer);
        if (n < 0) FileError(target, "cannot read the link: " + SystemError());
        const fs::path link(std::string(buffer, static_cast<size_t>(n)));
        file = link.is_absolute() ? link : file.parent_path() / link;
    }
    FileError(target, "too many levels of symbolic links; nothing written");
}

// The mode new files get: what the umask leaves of rw-rw-rw-. The umask can only be read by
// setting it; the program writes its files from one thread.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view contents) {
    const char* data = contents.data();
    size_t left = contents.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

void SyncFolder(const fs::path& folder) {
    // A folder that cannot be opened or synced (some file systems refuse) leaves the rename
    // done but perhaps not yet on disk; there is nothing better to do then.
    TFd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) (void)::fsync(dir.Get());
}

void CreateFolderOf(const fs::path& file) {
    if (!file.has_parent_path()) return;
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    if (ec) FileError(file, "cannot create its folder: " + ec.message());
}

// The temporary file beside file, hidden and unique, holding contents, synced to disk, with
// the mode and owner the file is to have.
std::string WriteTemporary(const fs::path& file, const fs::path& shownName,
                           std::string_view contents, const std::optional<struct stat>& old) {
    const fs::path folder = file.parent_path();
    std::string pattern = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
    TFd fd(::mkstemp(pattern.data()));
    if (fd.Get() < 0)
        FileError(shownName, "cannot create a temporary file in " +
                                 (folder.empty() ? std::string(".") : folder.string()) + ": " +
                                 SystemError());
    TTempFile temp(pattern);
    if (!WriteAll(fd.Get(), contents)) FileError(shownName, "write error: " + SystemError());
    if (old) {
        // Keep the owner where we may (root, or a group we belong to); never fail over it.
        if (::fchown(fd.Get(), old->st_uid, old->st_gid) != 0)
            (void)::fchown(fd.Get(), static_cast<uid_t>(-1), old->st_gid);
    }
    const mode_t mode = old ? (old->st_mode & 07777) : NewFileMode();
    if (::fchmod(fd.Get(), mode) != 0)
        FileError(shownName, "cannot set the mode of the new file: " + SystemError());
    if (::fsync(fd.Get()) != 0) FileError(shownName, "write error: " + SystemError());
    if (!fd.Close()) FileError(shownName, "write error: " + SystemError());
    temp.Keep();
    return pattern;
}

// Rewrites a file with several hard links through its own inode, from the finished temporary
// copy. Only a failure of this very write can leave it damaged; the copy is then kept.
void RewriteInPlace(const fs::path& file, const fs::path& shownName, std::string_view contents,
                    TTempFile& temp) {
    TFd fd(::open(file.c_str(), O_WRONLY | O_CLOEXEC));
    if (fd.Get() < 0) FileError(shownName, "cannot be written: " + SystemError());
    const bool written = WriteAll(fd.Get(), contents) &&
                         ::ftruncate(fd.Get(), static_cast<off_t>(contents.size())) == 0 &&
                         ::fsync(fd.Get()) == 0;
    if (!written || !fd.Close()) {
        temp.Keep();
        FileError(shownName, "write error: " + SystemError() + "; the complete new text is in " +
                                 temp.Path());
    }
}

}  // namespace

fs::path CheckWriteTarget(const fs::path& target) {
    const fs::path file = ResolveSymlinks(target);
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return file;  // a new file
    if (!S_ISREG(st.st_mode)) FileError(target, NotRegular(st.st_mode) + "; nothing written");
    if ((st.st_mode & 0222) == 0 || ::access(file.c_str(), W_OK) != 0)
        FileError(target, "is read-only; nothing written");
    return file;
}

void SafeWriteFile(const fs::path& target, std::string_view contents) {
    CreateFolderOf(target);
    const fs::path file = CheckWriteTarget(target);
    CreateFolderOf(file);
    std::optional<struct stat> old;
    if (struct stat st {}; ::stat(file.c_str(), &st) == 0) old = st;
    TTempFile temp(WriteTemporary(file, target, contents, old));
    if (old && old->st_nlink > 1) {
        RewriteInPlace(file, target, contents, temp);
        return;
    }
    if (::rename(temp.Path().c_str(), file.c_str()) != 0)
        FileError(target, "cannot be replaced: " + SystemError());
    temp.Keep();  // it is the file now
    SyncFolder(file.parent_path());
}

std::string ReadRegularFile(const fs::path& file, std::uintmax_t limit) {
    // Non-blocking, so that opening a FIFO does not wait for a writer; it is refused below.
    TFd fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) {
        struct stat st {};
        if (errno != ENOENT && ::stat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            FileError(file, NotRegular(st.st_mode));
        FileError(file, "cannot be read: " + SystemError());
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) FileError(file, "cannot be read: " + SystemError());
    if (!S_ISREG(st.st_mode)) FileError(file, NotRegular(st.st_mode));
    const std::string tooLarge =
        "is larger than " + SizeText(limit) + "; not read";
    if (static_cast<std::uintmax_t>(st.st_size) > limit) FileError(file, tooLarge);
    std::string contents;
    contents.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) FileError(file, "read error: " + SystemError());
        if (n == 0) break;
        contents.append(buffer, static_cast<size_t>(n));
        // The file may grow while it is read.
        if (contents.size() > limit) FileError(file, tooLarge);
    }
    return contents;
}

}  // namespace obrin
