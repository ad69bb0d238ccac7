#include "tools/patterncheck.h"

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "patterns/handlers.h"
#include "patterns/muster.h"

namespace obrin {
namespace {

// "none" or the numbers separated by blanks.
std::string NumberList(const std::vector<int>& numbers) {
    if (numbers.empty()) return "none";
    std::string text;
    for (const int n : numbers) text += (text.empty() ? "" : " ") + std::to_string(n);
    return text;
}

}  // namespace

int CheckPatternLibrary(const std::filesystem::path& file, std::ostream& out) {
    TPatternTree tree;
    const TPatternLoadReport report = LoadPatternFile(tree, file, CheckRecordAgainstHandler);
    const auto counts = tree.RecordsPerNumber();

    std::vector<int> withoutHandler, withoutRecord;
    int distinct = 0;
    for (int n = 1; n <= PatternNumberMax; ++n) {
        if (counts[n] > 0) ++distinct;
        if (counts[n] > 0 && !HasHandler(n)) withoutHandler.push_back(n);
        if (counts[n] == 0 && HasHandler(n)) withoutRecord.push_back(n);
    }
    out << file.string() << ": " << report.Records << " records read, " << distinct
        << " distinct numbers, " << tree.NodeCount() << " tree nodes\n";
    out << "numbers without a handler: " << NumberList(withoutHandler) << "\n";
    out << "handler numbers without a record (" << withoutRecord.size()
        << "): " << NumberList(withoutRecord) << "\n";
    out << "rejected records: " << report.Rejected << "\n";
    for (const std::string& m : report.Messages) out << "  " << m << "\n";
    if (report.Messages.size() < static_cast<size_t>(report.Rejected))
        out << "  ... and " << report.Rejected - report.Messages.size() << " more\n";

    std::array<int, AssocPrefixCount> calls{};
    for (const TPatternAction& a : PatternActions())
        if (a.Kind == TActionKind::Associate) ++calls[static_cast<size_t>(a.Prefix)];
    bool countsMatch = true;
    out << "association calls per prefix (handlers / design):\n";
    for (int p = 0; p < AssocPrefixCount; ++p) {
        const auto prefix = static_cast<TAssocPrefix>(p);
        const int expected = ExpectedAssociations(prefix);
        countsMatch = countsMatch && calls[p] == expected;
        out << "  " << AssocPrefixText(prefix) << calls[p] << " / " << expected << "\n";
    }
    const bool clean =
        report.Rejected == 0 && withoutHandler.empty() && withoutRecord.empty() && countsMatch;
    out << (clean ? "library complete\n" : "library incomplete\n");
    return clean ? 0 : 1;
}

}  // namespace obrin
