// A C locale whose decimal separator is a comma, for the tests that files
// and typed numbers keep "." whatever the locale says.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace vexa::testing {

// Switches every category of the C locale to a comma locale for its life.
class CommaLocale {
 public:
  CommaLocale() {
    const char* old = std::setlocale(LC_ALL, nullptr);
    saved_ = old ? old : "C";
    // Linux names, then the C runtime's names on Windows.
    for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "Russian_Russia.1251"}) {
      if (std::setlocale(LC_ALL, name) && std::string(std::localeconv()->decimal_point) == ",") {
        ok_ = true;
        return;
      }
    }
    std::setlocale(LC_ALL, saved_.c_str());
  }
  ~CommaLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;
  bool Ok() const { return ok_; }

 private:
  std::string saved_;
  bool ok_ = false;
};

}  // namespace vexa::testing

// In a test body: a test that could not switch fails, since passing in the
// C locale would prove nothing; a stage that cannot have such a locale says
// why in VEXA_SKIP_COMMA_LOCALE, and the test is skipped there.
#define VEXA_REQUIRE_COMMA_LOCALE(locale)                                                     \
  if (!(locale).Ok()) {                                                                       \
    if (const char* why = std::getenv("VEXA_SKIP_COMMA_LOCALE")) GTEST_SKIP() << why;         \
    FAIL() << "no locale with a decimal comma: scripts/install-deps.sh compiles ru_RU.UTF-8"; \
  }
