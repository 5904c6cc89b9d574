#include "profile/account_order.h"

#include <gtest/gtest.h>

namespace korvanel::profile {
namespace {

TEST(AccountOrder, DecodesLittleEndianIdsAndTheirPositions) {
  const Bytes list = {0x01, 0, 0, 0, 0x02, 0, 0, 0, 0x1A, 0x01, 0, 0};
  const std::vector<std::uint32_t> order = decodeAccountOrder(list);
  EXPECT_EQ(order, (std::vector<std::uint32_t>{1, 2, 0x11A}));
  EXPECT_EQ(accountPosition(order, u"00000001"), 1);
  EXPECT_EQ(accountPosition(order, u"00000002"), 2);
  EXPECT_EQ(accountPosition(order, u"0000011A"), 3);  // key names compare without case
  EXPECT_EQ(accountPosition(order, u"00000005"), 1);  // not in the list
  EXPECT_EQ(accountPosition(order, u"2"), 1);         // not a key name of the list
  EXPECT_EQ(accountPosition({}, u"00000002"), 1);
}

TEST(AccountOrder, StrayBytesAfterTheLastIdAreNoId) {
  EXPECT_EQ(decodeAccountOrder({0x02, 0, 0, 0, 0x03, 0}), (std::vector<std::uint32_t>{2}));
  EXPECT_TRUE(decodeAccountOrder({0x02, 0}).empty());
  EXPECT_EQ(appendToAccountOrder({0x02, 0, 0, 0, 0x03}, 26), (Bytes{0x02, 0, 0, 0, 0x1A, 0, 0, 0}));
}

TEST(AccountOrder, AppendsAtTheEnd) {
  EXPECT_EQ(appendToAccountOrder({}, 26), (Bytes{0x1A, 0, 0, 0}));
  EXPECT_EQ(appendToAccountOrder({0x02, 0, 0, 0}, 0x01020304),
            (Bytes{0x02, 0, 0, 0, 0x04, 0x03, 0x02, 0x01}));
}

TEST(AccountOrder, RemovingAnIdMovesTheLastIdIntoItsPlace) {
  const Bytes list = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};
  Bytes without2 = list;
  EXPECT_TRUE(removeFromAccountOrder(without2, 2));
  EXPECT_EQ(without2, (Bytes{1, 0, 0, 0, 3, 0, 0, 0}));
  Bytes without1 = list;
  EXPECT_TRUE(removeFromAccountOrder(without1, 1));
  EXPECT_EQ(without1, (Bytes{3, 0, 0, 0, 2, 0, 0, 0}));
  Bytes without3 = list;
  EXPECT_TRUE(removeFromAccountOrder(without3, 3));
  EXPECT_EQ(without3, (Bytes{1, 0, 0, 0, 2, 0, 0, 0}));
  Bytes unchanged = list;
  EXPECT_FALSE(removeFromAccountOrder(unchanged, 4));
  EXPECT_EQ(unchanged, list);
}

TEST(AccountOrder, RemovesEveryOccurrence) {
  Bytes list = {5, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 2, 0, 0, 0, 5, 0, 0, 0};
  EXPECT_TRUE(removeFromAccountOrder(list, 5));
  EXPECT_EQ(decodeAccountOrder(list), (std::vector<std::uint32_t>{2, 1}));
}

TEST(AccountOrder, RemovingTheOnlyIdLeavesTheEmptyList) {
  // A dangling id would point Outlook at an account that is gone.
  Bytes list = {7, 0, 0, 0};
  EXPECT_TRUE(removeFromAccountOrder(list, 7));
  EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace korvanel::profile
