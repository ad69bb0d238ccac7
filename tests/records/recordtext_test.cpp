#include "records/recordtext.h"

#include <gtest/gtest.h>

#include "settings/textlines.h"

namespace obrin {
namespace {

TEST(RecordText, EveryByteOfTheSingleByteEncodingsComesBack) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    for (const char* charset : {"ISO-8859-1", "latin1", "Windows-1252", "CP1252", "UTF-8", ""}) {
        const std::string text = DecodeRecordText(all, charset);
        EXPECT_TRUE(IsValidUtf8(text)) << charset;
        std::string raw;
        // A record declared UTF-8 whose bytes are not is read as Windows-1252; encoding such
        // text again as UTF-8 gives UTF-8, which is what the windows then store.
        if (CharsetOfCa(charset) == Utf8Charset) continue;
        ASSERT_TRUE(EncodeRecordText(text, charset, raw)) << charset;
        EXPECT_EQ(raw, all) << charset;
    }
}

TEST(RecordText, DecodingByCaAndByFallback) {
    EXPECT_EQ(DecodeRecordText("M\xFCller", "ISO-8859-1"), "M\xC3\xBCller");
    EXPECT_EQ(DecodeRecordText("\x80 5", "windows-1252"), "\xE2\x82\xAC 5");
    EXPECT_EQ(DecodeRecordText("\x80 5", "ISO-8859-1"), "\xC2\x80 5");
    // Without CA: UTF-8 when valid, else Windows-1252.
    EXPECT_EQ(DecodeRecordText("gr\xC3\xBC\xC3\x9F", ""), "gr\xC3\xBC\xC3\x9F");
    EXPECT_EQ(DecodeRecordText("gr\xFC\xDF", ""), "gr\xC3\xBC\xC3\x9F");
    // Another encoding through the C library; bytes it cannot read fall back.
    EXPECT_EQ(DecodeRecordText("\xB0\xA1", "GB2312"), "\xE5\x95\x8A");
    EXPECT_EQ(DecodeRecordText("\xFC", "no-such-charset"), "\xC3\xBC");
}

TEST(RecordText, EncodingRefusesWhatTheEncodingLacks) {
    std::string raw = "kept";
    EXPECT_FALSE(EncodeRecordText("\xE2\x82\xAC", "ISO-8859-1", raw));  // the euro sign
    EXPECT_EQ(raw, "kept");
    EXPECT_TRUE(EncodeRecordText("\xE2\x82\xAC", "Windows-1252", raw));
    EXPECT_EQ(raw, "\x80");
    EXPECT_FALSE(EncodeRecordText("\xE6\x97\xA5", "Windows-1252", raw));
    EXPECT_TRUE(EncodeRecordText("\xE6\x97\xA5", "UTF-8", raw));
    EXPECT_EQ(raw, "\xE6\x97\xA5");
    EXPECT_FALSE(EncodeRecordText("\xFF", "UTF-8", raw));  // not text at all
}

}  // namespace
}  // namespace obrin
