#include "ui/support/qt_application.h"

namespace {
[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new vexa::testing::QtApplicationEnvironment);
}
