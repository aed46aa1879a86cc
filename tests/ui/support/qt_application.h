// Every test binary with windows needs one application object, on the
// offscreen platform so it runs without a display: the program's own, so
// its handling of exceptions is what the tests see. A support file of each
// such binary includes this once.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "offscreen_fonts.h"
#include "ui/application.h"

namespace vexa::testing {

class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    UseOffscreenPlatform();
    static int argc = 1;
    static char name[] = "vexa_ui_tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<ui::TApplication>(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<ui::TApplication> app_;
};

}  // namespace vexa::testing
