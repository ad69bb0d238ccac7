// The translation table at the size of a well-filled language file: loading and saving 20,000
// entries, and the cost of one Translate.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "settings/filelocations.h"
#include "settings/langsup.h"

namespace {

constexpr int kEntries = 20000;
const char* const kLanguages[] = {"English", "Deutsch", "Français", "Español"};
const char* const kContexts[] = {"Main",  "Board",  "Control",     "GameData",   "Score",
                                 "Start", "Random", "End_Program", "Parameters", "AddLanguage",
                                 "About", "Links",  "SGF error",   "Thinking"};

// 20,000 lines over four languages and all contexts, as a full table would hold them.
std::string TableText() {
    std::string text;
    for (int i = 0; i < kEntries; ++i) {
        text.append(kLanguages[i % 4]).append("|").append(kContexts[(i / 4) % 14]);
        text.append("|Fenstertext Nummer ").append(std::to_string(i / 4));
        text.append("|Window text number ").append(std::to_string(i / 4)).append("\r\n");
    }
    return text;
}

// The table file, written once and removed at exit.
struct TBenchFile {
    std::filesystem::path Path = std::filesystem::temp_directory_path() /
                                 ("obrin-bench-language-" + std::to_string(::getpid()) + ".dat");
    TBenchFile() { obrin::WriteFileAtomically(Path, TableText()); }
    ~TBenchFile() {
        std::error_code ec;
        std::filesystem::remove(Path, ec);
    }
};

const std::filesystem::path& TableFile() {
    static const TBenchFile file;
    return file.Path;
}

void BM_LoadLanguageTable(benchmark::State& state) {
    const auto file = TableFile();
    for (auto _ : state) {
        obrin::TLangSup lang("Deutsch");
        benchmark::DoNotOptimize(lang.LoadFromFile(file));
    }
    state.counters["entries"] = kEntries;
}
BENCHMARK(BM_LoadLanguageTable)->Unit(benchmark::kMillisecond);

void BM_SaveLanguageTable(benchmark::State& state) {
    obrin::TLangSup lang("Deutsch");
    (void)lang.LoadFromFile(TableFile());
    const auto out = TableFile().string() + ".saved";
    for (auto _ : state) lang.SaveToFile(out);
    std::filesystem::remove(out);
}
BENCHMARK(BM_SaveLanguageTable)->Unit(benchmark::kMillisecond);

// Arg 0: a word early in its language's probe run; 1: the last word of the table; 2: a word
// with no entry (read-only, so the table does not change between runs).
void BM_Translate(benchmark::State& state) {
    obrin::TLangSup lang("Deutsch");
    (void)lang.LoadFromFile(TableFile());
    lang.SetLanguage("Français");
    const int64_t which = state.range(0);
    const int last = kEntries / 4 - 1;
    lang.SetContext(kContexts[(which == 0 ? 0 : last) % 14]);
    const std::string word = which == 2
                                 ? "Kein solcher Text"
                                 : "Fenstertext Nummer " + std::to_string(which == 0 ? 0 : last);
    lang.SetReadOnly(which == 2);
    for (auto _ : state) benchmark::DoNotOptimize(lang.Translate(word));
}
BENCHMARK(BM_Translate)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// A table a user has added many translations to: all of one language, so every key starts
// alike. Loading must stay linear in the number of lines.
void BM_LoadAddedEntries(benchmark::State& state) {
    std::string text;
    for (int64_t i = 0; i < state.range(0); ++i)
        text.append("English|Main|Eigener Text ").append(std::to_string(i))
            .append("|Own text ").append(std::to_string(i)).append("\r\n");
    for (auto _ : state) {
        obrin::TLangSup lang("Deutsch");
        benchmark::DoNotOptimize(lang.LoadFromText(text, "language.dat"));
    }
    state.counters["entries"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_LoadAddedEntries)->Arg(25000)->Arg(100000)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
