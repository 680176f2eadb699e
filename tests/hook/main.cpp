// The Windows hook tests. The same exe, started with --child-window, is the second
// process the cross-process test needs.
#include <gtest/gtest.h>

#include <cstring>

namespace fw::test {
int RunChildWindow();
}

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--child-window") == 0) return fw::test::RunChildWindow();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
