#include "analysis/datafiles.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "board/errors.h"
#include "board/safefile.h"
#include "settings/filelocations.h"

static_assert(std::endian::native == std::endian::little, "the data files are little-endian");

namespace obrin {
namespace fs = std::filesystem;

fs::path DataFilePath(const std::string& name, bool forWriting) {
    const TFileLocations where = TFileLocations::FromEnvironment();
    if (forWriting) return where.PathForWrite(name);
    return where.FindForRead(name).value_or(where.PathForWrite(name));
}

std::vector<fs::path> DataFilePlaces(const std::string& name) {
    return TFileLocations::FromEnvironment().SearchOrder(name);
}

std::vector<uint8_t> ReadFileBytes(const fs::path& path, std::uintmax_t limit) {
    const std::string bytes = ReadRegularFile(path, limit);
    return {bytes.begin(), bytes.end()};
}

void WriteFileAtomically(const fs::path& path, const std::vector<uint8_t>& bytes) {
    WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void TByteReader::Need(size_t n) const {
    if (m_pos + n > m_bytes.size())
        throw EObrinError(m_name + ": file ends at offset " + std::to_string(m_bytes.size()) +
                          ", " + std::to_string(n) + " more bytes expected at offset " +
                          std::to_string(m_pos));
}

void TByteReader::NeedFiniteDoubles(size_t count) const {
    Need(count * sizeof(double));
    for (size_t i = 0; i < count; ++i) {
        const size_t at = m_pos + i * sizeof(double);
        double value;
        std::memcpy(&value, m_bytes.data() + at, sizeof value);
        if (!std::isfinite(value))
            Fail(std::string("value is not a finite number (") +
                     (std::isnan(value) ? "NaN" : "infinite") + ")",
                 at);
    }
}

void TByteReader::Fail(const std::string& what, size_t offset) const {
    throw EObrinError(m_name + ": " + what + " at offset " + std::to_string(offset));
}

}  // namespace obrin
