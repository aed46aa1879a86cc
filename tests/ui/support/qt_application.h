// Every test binary with windows needs one QApplication, on the offscreen
// platform so it runs without a display. A support file of each such binary
// includes this once.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace vexa::testing {

class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vexa_ui_tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

}  // namespace vexa::testing
