// Where the analysis data files ("net.dat", "training.dat", ...) live, by the program-wide rules
// of ui/filelocations.h, and the little-endian packing of the binary ones. Writes always go
// through a temporary file renamed over the old one, so a failed write never destroys a file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "board/errors.h"
#include "board/safefile.h"
#include "context/host.h"

namespace obrin {

// The path to read the data file name from; for writing, pass forWriting = true.
[[nodiscard]] std::filesystem::path DataFilePath(const std::string& name, bool forWriting = false);

// Every place the data file name is looked for, in order, for messages about a missing file.
[[nodiscard]] std::vector<std::filesystem::path> DataFilePlaces(const std::string& name);

// The whole file; throws EObrinError naming the file when it cannot be read or is larger than
// limit bytes (by default the limit of every file read whole).
[[nodiscard]] std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path,
                                                 std::uintmax_t limit = MaxReadFileSize);
// The limit for the full training sets the training commands read (a few hundred MB each).
inline constexpr std::uintmax_t MaxTrainingFileSize = std::uintmax_t{4} << 30;
// Writes bytes to a temporary file beside path and renames it over path.
void WriteFileAtomically(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// Loads a data file (a network, the move predictor) into data when the file exists; a damaged
// file leaves data as it was and is reported to the user.
template <typename TData>
void LoadIfPresent(TData& data, const char* name, IHost& host) {
    const std::filesystem::path path = DataFilePath(name);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return;
    try {
        data.LoadFromFile(path.string());
    } catch (const EObrinError& e) {
        host.ShowMessage(e.what());
    }
}

// Little-endian packing of the binary data files (the host is little-endian, checked at build).
class TByteWriter {
  public:
    explicit TByteWriter(std::vector<uint8_t>& out) : m_out(out) {}
    template <typename T>
    void Put(T value) {
        // Grown first and copied into: a range insert from a small object trips GCC 12's
        // array-bounds check in optimised builds.
        const size_t at = m_out.size();
        m_out.resize(at + sizeof(T));
        std::memcpy(m_out.data() + at, &value, sizeof(T));
    }
    void PutDoubles(const std::vector<double>& values) {
        for (const double v : values) Put(v);
    }

  private:
    std::vector<uint8_t>& m_out;
};

// Reads values from a byte image; every read checks the length first and throws EObrinError
// naming the file and the offset instead of reading past the end.
class TByteReader {
  public:
    TByteReader(const std::vector<uint8_t>& bytes, std::string fileName, size_t offset = 0)
        : m_bytes(bytes), m_name(std::move(fileName)), m_pos(offset) {}
    template <typename T>
    [[nodiscard]] T Get() {
        Need(sizeof(T));
        T value;
        std::copy_n(m_bytes.data() + m_pos, sizeof(T), reinterpret_cast<uint8_t*>(&value));
        m_pos += sizeof(T);
        return value;
    }
    void GetDoubles(std::vector<double>& values) {
        for (double& v : values) v = Get<double>();
    }
    void Skip(size_t n) {
        Need(n);
        m_pos += n;
    }
    // Throws unless n more bytes follow.
    void Need(size_t n) const;
    // Throws unless count more doubles follow and every one is a finite number: a NaN or an
    // infinite weight would poison every answer of a network. Names the first bad offset.
    void NeedFiniteDoubles(size_t count) const;
    // Throws a "bad value" error for the value that was just read at offset.
    [[noreturn]] void Fail(const std::string& what, size_t offset) const;
    [[nodiscard]] size_t Position() const { return m_pos; }

  private:
    const std::vector<uint8_t>& m_bytes;
    std::string m_name;
    size_t m_pos;
};

}  // namespace obrin
