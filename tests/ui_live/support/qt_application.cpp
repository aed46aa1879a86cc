#include "ui/support/qt_application.h"

namespace {
[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new vexa::testing::QtApplicationEnvironment);
}

// ThreadSanitizer runs this binary. Qt Gui hands large fills and gradients
// to worker threads of its own and waits for them on futexes inside the
// uninstrumented library, so the sanitizer would see the workers free what
// the window thread allocated without the hand-off between. Calls made from
// uninstrumented libraries are therefore not tracked; VEXA's own code stays
// checked (a read of the acquisition thread's frame buffer from a window
// handler is still reported as the race it is).
extern "C" const char* __tsan_default_options() { return "ignore_noninstrumented_modules=1"; }
