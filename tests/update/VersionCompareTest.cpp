#include "update/VersionCompare.h"

#include <gtest/gtest.h>

TEST(CompareVersions, ComparesPartByPartAsNumbers)
{
    struct Case {
        const wchar_t* first;
        const wchar_t* second;
        int expected;
    };
    const Case cases[] = {
        { L"1.0.5", L"1.0.6", 1 },
        { L"1.0.5", L"1.0.5", 0 },
        { L"1.0.6", L"1.0.5", -1 },
        { L"1.2", L"1.10", 1 },       // numbers, not text: 2 < 10
        { L"1.0", L"1.0.0", 2 },      // different part counts
        { L"2.0.0", L"1.9.9", -1 },   // the first differing part decides
        { L"1.x", L"1.0", 0 },        // a part that is no number reads as 0
        { L"1.07", L"1.7", 0 },
        { L"1..2", L"1.0.2", 0 },     // an empty part is a part
        { L"", L"", 0 },
        { L"1.0.6\n", L"1.0.6", 0 },  // trailing text after the digits is ignored
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareVersions(c.first, c.second), c.expected) << "'" << c.first << "' vs '" << c.second << "'";
}
