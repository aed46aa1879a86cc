// Every test binary that draws needs one QGuiApplication, on the offscreen
// platform so it runs without a display.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

#include "offscreen_fonts.h"

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    vexa::testing::UseOffscreenPlatform();
    static int argc = 1;
    static char name[] = "vexa_platform_tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QGuiApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
