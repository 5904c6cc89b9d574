// The main of the COM server tests: GoogleTest inside one COM apartment.
#include "win/tests/com_test_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new korvanel::win::testing::ComEnvironment);
  return RUN_ALL_TESTS();
}
