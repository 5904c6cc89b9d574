#include "addin/recent_arrivals.h"

#include <gtest/gtest.h>

namespace korvanel::addin {
namespace {

TEST(RecentArrivals, EachRememberedArrivalIsTakenBackOnceInEitherCase) {
  RecentArrivals arrivals;
  arrivals.remember(u"00000000ABCDEF");
  arrivals.remember(u"");  // an empty id is never an arrival
  EXPECT_FALSE(arrivals.takeBack(u""));
  EXPECT_FALSE(arrivals.takeBack(u"00000000ABCDE"));
  EXPECT_TRUE(arrivals.takeBack(u"00000000abcdef"));
  EXPECT_FALSE(arrivals.takeBack(u"00000000ABCDEF"));

  arrivals.remember(u"01");
  arrivals.clear();
  EXPECT_FALSE(arrivals.takeBack(u"01"));
}

TEST(RecentArrivals, TheOldestAgesOutOnceTheListIsFull) {
  RecentArrivals arrivals;
  for (std::size_t i = 0; i <= RecentArrivals::kCapacity; ++i) {
    arrivals.remember(text::toText(static_cast<long>(i)));
  }
  EXPECT_FALSE(arrivals.takeBack(u"0"));
  EXPECT_TRUE(arrivals.takeBack(u"1"));
  EXPECT_TRUE(arrivals.takeBack(text::toText(static_cast<long>(RecentArrivals::kCapacity))));
}

}  // namespace
}  // namespace korvanel::addin
