#include "analysis/datafiles.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "board/errors.h"

static_assert(std::endian::native == std::endian::little, "the data files are little-endian");

namespace obrin {
namespace fs = std::filesystem;
namespace {

fs::path ExecutableDir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

fs::path UserDir() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return fs::path(xdg) / "obrin";
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".config" / "obrin";
    return fs::path(".config") / "obrin";
}

}  // namespace

fs::path DataFilePath(const std::string& name, bool forWriting) {
    if (const char* home = std::getenv("OBRIN_HOME"); home && *home) return fs::path(home) / name;
    const fs::path exeDir = ExecutableDir();
    if (!exeDir.empty()) {
        std::error_code ec;
        if (!forWriting && fs::exists(exeDir / name, ec)) return exeDir / name;
        if (forWriting && access(exeDir.c_str(), W_OK) == 0) return exeDir / name;
    }
    if (forWriting) {
        std::error_code ec;
        fs::create_directories(UserDir(), ec);
    }
    return UserDir() / name;
}

std::vector<uint8_t> ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EObrinError(path.string() + ": cannot open the file");
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    if (in.bad()) throw EObrinError(path.string() + ": read error");
    return bytes;
}

void WriteFileAtomically(const fs::path& path, const std::vector<uint8_t>& bytes) {
    fs::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw EObrinError(temp.string() + ": cannot create the file");
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ec;
            fs::remove(temp, ec);
            throw EObrinError(temp.string() + ": write error");
        }
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw EObrinError(path.string() + ": cannot replace the file");
    }
}

void TByteReader::Need(size_t n) const {
    if (m_pos + n > m_bytes.size())
        throw EObrinError(m_name + ": file ends at offset " + std::to_string(m_bytes.size()) +
                          ", " + std::to_string(n) + " more bytes expected at offset " +
                          std::to_string(m_pos));
}

void TByteReader::Fail(const std::string& what, size_t offset) const {
    throw EObrinError(m_name + ": " + what + " at offset " + std::to_string(offset));
}

}  // namespace obrin
