#include "board/qxhash.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "board/errors.h"
#include "support/error_text.h"

namespace obrin {
namespace {

std::string Value(const TQXHashTable& table, const std::string& key) {
    std::string value = "<missing>";
    (void)table.TryGet(key, value);
    return value;
}

TEST(QXHashTest, NegativeRawHashesAreMirroredIncludingTheSmallestOne) {
    const TQXHashTable table;
    // 0xFF000001 is -16777215 as a signed word.
    EXPECT_EQ(table.Hash(std::string("\x01\x00\x00\xFF", 4), 20), 16777215 % 20);
    // 0x80000000 is -2147483648, whose mirror 2147483648 only exists beyond 32 bits.
    EXPECT_EQ(table.Hash(std::string("\x00\x00\x00\x80", 4), 20),
              static_cast<int32_t>(2147483648LL % 20));
    EXPECT_EQ(table.Hash(std::string("\x00\x00\x00\x80", 4), 7),
              static_cast<int32_t>(2147483648LL % 7));
    TQXHashTable stored(7);
    stored.Put(std::string("\x00\x00\x00\x80", 4), "min");
    EXPECT_EQ(Value(stored, std::string("\x00\x00\x00\x80", 4)), "min");
}

TEST(QXHashTest, PutReplacesAndGetRaisesForMissingKeys) {
    TQXHashTable table;
    table.Put("Eingabe", "Entry");
    table.Put("Eingabe", "Input");
    EXPECT_EQ(table.Count(), 1);
    std::string value;
    table.Get("Eingabe", value);
    EXPECT_EQ(value, "Input");
    value = "unchanged";
    EXPECT_FALSE(table.TryGet("Ausgabe", value));
    EXPECT_EQ(value, "unchanged");
    EXPECT_EQ(test::ErrorOf([&] { table.Get("Ausgabe", value); }), msg::KeyNotFound);
}

TEST(QXHashTest, TheInsertionThatFindsTheTableFullDoublesIt) {
    TQXHashTable table;
    for (int i = 0; i < 20; ++i) table.Put("key" + std::to_string(i), std::to_string(i));
    EXPECT_EQ(table.Size(), 20);
    table.Put("key20", "20");
    EXPECT_EQ(table.Size(), 40);
    EXPECT_EQ(table.Count(), 21);
    for (int i = 0; i <= 20; ++i)
        EXPECT_EQ(Value(table, "key" + std::to_string(i)), std::to_string(i));
    TQXHashTable tiny(0);  // raised to one slot
    tiny.Put("x", "1");
    tiny.Put("y", "2");
    EXPECT_EQ(tiny.Size(), 2);
    EXPECT_EQ(Value(tiny, "x") + Value(tiny, "y"), "12");
}

// Keys that agree in their first four bytes share a home slot and line up in one probe run,
// as every key of one language does in the translation table.
TEST(QXHashTest, RemovingAnyKeyOfAProbeRunKeepsTheOthersFindable) {
    const std::vector<std::string> run{"Engl|A", "Engl|B", "Engl|C", "Engl|D", "Engl|E"};
    for (size_t removed = 0; removed < run.size(); ++removed) {
        TQXHashTable table(7);  // the run wraps past the last slot
        for (const auto& key : run) table.Put(key, key + "!");
        table.Remove(run[removed]);
        EXPECT_EQ(table.Count(), 4);
        for (size_t k = 0; k < run.size(); ++k)
            EXPECT_EQ(Value(table, run[k]), k == removed ? "<missing>" : run[k] + "!")
                << "removed " << removed;
        // Storing anew (remove, then put) lands in the freed slot: nothing grows or doubles.
        table.Put(run[removed], "again");
        EXPECT_EQ(table.Size(), 7);
        EXPECT_EQ(table.Count(), 5);
        // A key further along the run is updated in place, not stored twice.
        table.Put(run.back(), "updated");
        EXPECT_EQ(table.Count(), 5);
        EXPECT_EQ(Value(table, run.back()), "updated");
    }
}

TEST(QXHashTest, AFullTableReusesRemovedSlotsBeforeGrowing) {
    TQXHashTable table(4);
    for (const char* key : {"w", "x", "y", "z"}) table.Put(key, key);
    table.Remove("x");
    table.Remove("x");  // absent: nothing happens
    table.Put("v", "v");
    EXPECT_EQ(table.Size(), 4);
    table.Put("u", "u");
    EXPECT_EQ(table.Size(), 8);
    for (const char* key : {"u", "v", "w", "y", "z"}) EXPECT_EQ(Value(table, key), key);
    EXPECT_EQ(table.IndexOf("x"), -1);
}

TEST(QXHashTest, LiveTablesAreCountedAndCheckedAtExit) {
    const int before = TQXHashTable::LiveTables();
    {
        auto table = std::make_unique<TQXHashTable>();
        EXPECT_EQ(TQXHashTable::LiveTables(), before + 1);
        EXPECT_THROW(TQXHashTable::CheckBalanced(), EObrinError);
    }
    EXPECT_EQ(TQXHashTable::LiveTables(), before);
    ASSERT_EQ(before, 0);  // no test leaves a table behind
    EXPECT_NO_THROW(TQXHashTable::CheckBalanced());
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            static_cast<void>(std::make_unique<TQXHashTable>().release());
            std::exit(0);
        },
        "TQXHashTable instances not balanced");
}

}  // namespace
}  // namespace obrin
