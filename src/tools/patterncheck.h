// "obrin-cli patterns check": reads a pattern library as the engine does and reports what a
// library author needs to know: records read, numbers without a handler, handler numbers
// without a record, rejected records, and the association calls per goal-name prefix.
#pragma once

#include <filesystem>
#include <iosfwd>

namespace obrin {

// Writes the report to out; returns 0 when the library is complete and clean, 1 when a record
// was rejected, a number lacks a handler or a record, or a prefix count differs from the design,
// and throws EObrinError naming the file when it cannot be read.
int CheckPatternLibrary(const std::filesystem::path& file, std::ostream& out);

}  // namespace obrin
