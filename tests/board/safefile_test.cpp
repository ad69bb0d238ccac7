#include "board/safefile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>

#include "support/error_text.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

namespace fs = std::filesystem;

class SafeFile : public ::testing::Test {
  protected:
    fs::path File(const std::string& name, const std::string& text) {
        const fs::path file = dir / name;
        test::WriteBytes(file, text);
        return file;
    }
    // The names in the folder: a save leaves nothing of its own behind.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static struct stat Stat(const fs::path& file) {
        struct stat st {};
        EXPECT_EQ(::stat(file.c_str(), &st), 0) << file;
        return st;
    }
    std::string Refusal(const fs::path& target) {
        return test::ErrorOf([&] { SafeWriteFile(target, "new text"); });
    }

    test::TTempDir dir;
};

TEST_F(SafeFile, TargetsThatAreNoRegularFileAreRefusedAndLeftAlone) {
    const fs::path folder = dir / "folder.sgf";
    fs::create_directory(folder);
    EXPECT_EQ(Refusal(folder), folder.string() + ": is a folder, not a regular file; nothing written");
    EXPECT_TRUE(fs::is_directory(folder));

    const fs::path fifo = dir / "fifo.sgf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_NE(Refusal(fifo).find("is a FIFO (named pipe), not a regular file"), std::string::npos);
    EXPECT_TRUE(fs::is_fifo(fifo));

    const fs::path socketFile = dir / "socket.sgf";
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketFile.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_NE(Refusal(socketFile).find("is a socket, not a regular file"), std::string::npos);
    EXPECT_TRUE(fs::is_socket(socketFile));
    ::close(s);

    // The device itself, and through a link: /dev/null stays the device.
    EXPECT_NE(Refusal("/dev/null").find("/dev/null: is a device"), std::string::npos);
    const fs::path link = dir / "null.sgf";
    fs::create_symlink("/dev/null", link);
    EXPECT_NE(Refusal(link).find("null.sgf: is a device"), std::string::npos);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Names(), (std::vector<std::string>{"fifo.sgf", "folder.sgf", "null.sgf",
                                                 "socket.sgf"}));
}

TEST_F(SafeFile, ReadOnlyFilesAreRefusedEvenForRoot) {
    const fs::path file = File("kept.sgf", "old text");
    ::chmod(file.c_str(), 0444);
    EXPECT_EQ(Refusal(file), file.string() + ": is read-only; nothing written");
    EXPECT_EQ(test::ReadBytes(file), "old text");
    EXPECT_EQ(Stat(file).st_mode & 07777, 0444u);
}

TEST_F(SafeFile, ModeOwnerAndTheUsersOwnTemporaryNamesSurvive) {
    const fs::path file = File("game.sgf", "old text");
    const fs::path users = File("game.sgf.tmp", "the user's own notes");
    ::chmod(file.c_str(), 0600);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(file.c_str(), 4321, 4322), 0);
    }
    const auto inode = Stat(file).st_ino;

    SafeWriteFile(file, "new text");

    EXPECT_EQ(test::ReadBytes(file), "new text");
    EXPECT_EQ(test::ReadBytes(users), "the user's own notes");
    const struct stat st = Stat(file);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_NE(st.st_ino, inode);  // replaced by a rename, not rewritten in place
    if (root) {
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 4322u);
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"game.sgf", "game.sgf.tmp"}));
}

TEST_F(SafeFile, NewFilesGetTheUmasksModeAndTheirFolder) {
    const mode_t old = ::umask(027);
    SafeWriteFile(dir / "sub" / "new.sgf", "text");
    ::umask(old);
    EXPECT_EQ(test::ReadBytes(dir / "sub" / "new.sgf"), "text");
    EXPECT_EQ(Stat(dir / "sub" / "new.sgf").st_mode & 07777, 0640u);
}

TEST_F(SafeFile, SymlinksAreWrittenThroughAndStayLinks) {
    const fs::path target = File("real/target.sgf", "old text");
    const fs::path link = dir / "link.sgf";
    const fs::path chain = dir / "chain.sgf";
    fs::create_symlink("real/target.sgf", link);  // relative to the link's folder
    fs::create_symlink(link, chain);

    SafeWriteFile(chain, "new text");

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(chain));
    EXPECT_EQ(test::ReadBytes(target), "new text");

    // A dangling link creates its target.
    fs::create_symlink("real/later.sgf", dir / "dangling.sgf");
    SafeWriteFile(dir / "dangling.sgf", "later");
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.sgf"));
    EXPECT_EQ(test::ReadBytes(dir / "real" / "later.sgf"), "later");

    fs::create_symlink("loop2.sgf", dir / "loop1.sgf");
    fs::create_symlink("loop1.sgf", dir / "loop2.sgf");
    EXPECT_NE(Refusal(dir / "loop1.sgf").find("too many levels of symbolic links"),
              std::string::npos);
}

TEST_F(SafeFile, HardLinksKeepSharingTheNewText) {
    const fs::path file = File("a.sgf", "old text, longer than the new one");
    const fs::path other = dir / "b.sgf";
    fs::create_hard_link(file, other);

    SafeWriteFile(file, "new text");

    EXPECT_EQ(test::ReadBytes(file), "new text");
    EXPECT_EQ(test::ReadBytes(other), "new text");
    EXPECT_EQ(Stat(file).st_ino, Stat(other).st_ino);
    EXPECT_EQ(Stat(file).st_nlink, 2u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.sgf", "b.sgf"}));
}

TEST_F(SafeFile, AFailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
    const fs::path file = File("keep.sgf", "old text");
    // The file size limit makes the write fail as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error =
        test::ErrorOf([&] { SafeWriteFile(file, std::string(100000, 'x')); });
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_DFL);

    EXPECT_NE(error.find(file.string() + ": write error"), std::string::npos) << error;
    EXPECT_EQ(test::ReadBytes(file), "old text");
    EXPECT_EQ(Names(), (std::vector<std::string>{"keep.sgf"}));
}

TEST_F(SafeFile, ReadingRefusesWhatIsNoRegularFileOrTooLarge) {
    const auto readError = [](const fs::path& file, std::uintmax_t limit = MaxReadFileSize) {
        return test::ErrorOf([&] { (void)ReadRegularFile(file, limit); });
    };
    EXPECT_EQ(ReadRegularFile(File("ok.sgf", "(;)")), "(;)");

    fs::create_directory(dir / "x.sgf");
    EXPECT_EQ(readError(dir / "x.sgf"), (dir / "x.sgf").string() + ": is a folder, not a regular file");

    fs::create_symlink("/dev/zero", dir / "zero.sgf");
    EXPECT_EQ(readError(dir / "zero.sgf"),
              (dir / "zero.sgf").string() + ": is a device, not a regular file");

    // A FIFO without a writer would block a plain open for ever.
    ASSERT_EQ(::mkfifo((dir / "fifo.sgf").c_str(), 0644), 0);
    EXPECT_NE(readError(dir / "fifo.sgf").find("is a FIFO"), std::string::npos);

    EXPECT_EQ(readError(File("big.sgf", std::string(2000, 'x')), 1000),
              (dir / "big.sgf").string() + ": is larger than 1000 bytes; not read");
    EXPECT_NE(readError(dir / "missing.sgf").find("missing.sgf: cannot be read: No such file"),
              std::string::npos);
}

}  // namespace
}  // namespace obrin
