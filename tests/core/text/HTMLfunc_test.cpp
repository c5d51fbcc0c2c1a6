#include "core/text/HTMLfunc.h"

#include "core/text/Cp932.h"

#include <gtest/gtest.h>

namespace {

using HTMLfunc::StripTrailingDigits;

TEST(HTMLfunc, StripTrailingDigits) {
    EXPECT_EQ(StripTrailingDigits("img001"), "img");
    EXPECT_EQ(StripTrailingDigits("2020_05_3"), "2020_05_");
    EXPECT_EQ(StripTrailingDigits("12345"), "");
    EXPECT_EQ(StripTrailingDigits("a1b"), "a1b");
    EXPECT_EQ(StripTrailingDigits("track 7 "), "track 7 ");
    EXPECT_EQ(StripTrailingDigits(""), "");
    EXPECT_EQ(StripTrailingDigits("   "), "   ");
    // Full-width digits are not digits here (２ is 82 51).
    const std::string fullWidth = Cp932::FromUtf8("第２").value_or("");
    EXPECT_EQ(StripTrailingDigits(fullWidth), fullWidth);
    EXPECT_EQ(StripTrailingDigits(fullWidth + "10"), fullWidth);
}

}  // namespace
