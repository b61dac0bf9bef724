#include <gtest/gtest.h>

#include <set>
#include <string>

#include "CRegExt.h"

namespace {

TEST(DateAndRandom, RandomNumbersCoverTheirBoundsAndTheDateStaysPut) {
    std::set<int> seen;
    for (int i = 0; i < 1000; ++i) {
        seen.insert(CRegExt::GetRandom(-3, 6));
        ASSERT_EQ(CRegExt::GetRandom(5, 5), 5);
    }
    EXPECT_EQ(seen.size(), 10u);
    EXPECT_EQ(*seen.begin(), -3);
    const std::string date = CRegExt::ParseDate();
    EXPECT_TRUE(date.size() == 8 && date.find_first_not_of("0123456789") == std::string::npos) << date;
    EXPECT_EQ(CRegExt::ParseDate(), CRegExt::ParseDate());
}

}  // namespace
