// A fresh folder for one test, removed with everything in it when the test ends.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace obrin::test {

class TTempDir {
  public:
    TTempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "obrin-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        m_path = pattern;
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    ~TTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }
    [[nodiscard]] std::filesystem::path operator/(std::string_view name) const {
        return m_path / name;
    }

  private:
    std::filesystem::path m_path;
};

// A fresh folder that is OBRIN_HOME while it lives: the engine reads and writes its files there.
// Declare it before the engines of a fixture. The old value comes back at the end.
class TTempHome : public TTempDir {
  public:
    TTempHome() {
        if (const char* old = std::getenv("OBRIN_HOME")) m_old = old;
        ::setenv("OBRIN_HOME", Path().c_str(), 1);
    }
    ~TTempHome() { m_old ? ::setenv("OBRIN_HOME", m_old->c_str(), 1) : ::unsetenv("OBRIN_HOME"); }

  private:
    std::optional<std::string> m_old;
};

inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace obrin::test
