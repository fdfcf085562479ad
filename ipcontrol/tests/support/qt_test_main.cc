// SPDX-License-Identifier: MIT

// The main of the widget tests: a QApplication on the offscreen platform
// around the GoogleTest run, so that no display is needed.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>

int main(int argc, char** argv) {
  // Test discovery runs the program without the test environment.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
