// GoogleTest main for widget tests: a QApplication must exist before any
// widget, and the tests run without a display.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[]) {
  // CTest sets the platform; test discovery during the build does not.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
