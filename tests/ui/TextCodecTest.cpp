// Paths converted for the narrow file functions under every ANSI code page
// the system may have, UTF-8 (65001) included: exact, or refused.
#include "w32/TextCodec.h"

#include <gtest/gtest.h>

TEST(TextCodec, PathsConvertExactlyOrNotAtAll)
{
    const struct {
        UINT codePage;
        const wchar_t* text;
        bool converts;
        const char* bytes;  // when it converts
    } kCases[] = {
        {1251, L"C:\\УП\\деталь.up", true, "C:\\\xD3\xCF\\\xE4\xE5\xF2\xE0\xEB\xFC.up"},
        {1251, L"naïve.up", false, ""},  // no ï in 1251: a best fit would name another file
        {1252, L"café.up", true, "caf\xE9.up"},
        {1252, L"деталь.up", false, ""},
        {65001, L"C:\\УП\\деталь.up", true, "C:\\\xD0\xA3\xD0\x9F\\\xD0\xB4\xD0\xB5\xD1\x82\xD0\xB0\xD0\xBB\xD1\x8C.up"},
        {65001, L"naïve 😀.up", true, "na\xC3\xAFve \xF0\x9F\x98\x80.up"},
        {65001, L"half \xD83D pair.up", false, ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "code page " << c.codePage << ": " << testing::PrintToString(std::wstring(c.text)));
        std::string narrow = "left over";
        EXPECT_EQ(c.converts, WideToCodePage(c.codePage, c.text, narrow));
        EXPECT_EQ(c.converts ? std::string(c.bytes) : std::string(), narrow);
        if (c.converts) {
            EXPECT_EQ(std::wstring(c.text), CodePageToWide(c.codePage, narrow));
        }
    }
    std::string empty = "x";
    EXPECT_TRUE(WideToCodePage(65001, L"", empty));
    EXPECT_EQ("", empty);
}

// Windows refuses WC_NO_BEST_FIT_CHARS and the "default character used"
// pointer for UTF-8 and a few other code pages (Wine lets them pass).
TEST(TextCodec, AsksEachCodePageOnlyWhatItAccepts)
{
    for (const UINT codePage : {65001u, 65000u, 42u, 50220u, 50229u, 57002u, 57011u}) {
        const NarrowingRules rules = NarrowingRulesOf(codePage);
        EXPECT_EQ(0u, rules.flags & ~static_cast<DWORD>(codePage == 65001 ? WC_ERR_INVALID_CHARS : 0)) << codePage;
        EXPECT_FALSE(rules.reportsDefaultUse) << codePage;
    }
    for (const UINT codePage : {1251u, 1252u, 866u, 932u, 1250u}) {
        const NarrowingRules rules = NarrowingRulesOf(codePage);
        EXPECT_EQ(static_cast<DWORD>(WC_NO_BEST_FIT_CHARS), rules.flags) << codePage;
        EXPECT_TRUE(rules.reportsDefaultUse) << codePage;
    }
}
