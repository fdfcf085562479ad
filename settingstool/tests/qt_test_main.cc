// SPDX-License-Identifier: MIT

// The main of the window tests: the QApplication lives on main's stack
// around the GoogleTest run, so it goes before Qt's own static objects do.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>

int main(int argc, char** argv) {
  // Test discovery runs the program without the tests' environment.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
