#include "core/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vexa {
namespace {

TEST(JoinPath, AddsOneSeparatorOnly) {
  const std::string sep(1, kPathSeparator);
  EXPECT_EQ(JoinPath("dir", "f.cfg"), "dir" + sep + "f.cfg");
  EXPECT_EQ(JoinPath("dir" + sep, "f.cfg"), "dir" + sep + "f.cfg");
  EXPECT_EQ(JoinPath("", "f.cfg"), "f.cfg");
}

TEST(ConfigDir, EnvironmentOverridesAndLosesTrailingSeparator) {
#ifdef _WIN32
  _putenv_s("VEXA_CONFIG_DIR", "C:\\cfg\\");
  EXPECT_EQ(ConfigDir(), "C:\\cfg");
  _putenv_s("VEXA_CONFIG_DIR", "");
#else
  setenv("VEXA_CONFIG_DIR", "/tmp/vexa-cfg/", 1);
  EXPECT_EQ(ConfigDir(), "/tmp/vexa-cfg");
  unsetenv("VEXA_CONFIG_DIR");
#endif
}

#ifdef _WIN32
TEST(ConfigDir, AFolderOutsideTheAnsiCodePageComesBackAsUtf8) {
  _wputenv_s(L"VEXA_CONFIG_DIR", L"C:\\\u0414\u0430\u0442\u0430\\\u65E5");  // C:\Дата\日
  EXPECT_EQ(ConfigDir(), "C:\\Дата\\日");
  _wputenv_s(L"VEXA_CONFIG_DIR", L"");
}
#endif

TEST(ProgramPath, NamesTheTestBinary) {
  EXPECT_NE(ProgramPath().find("vexa_core_tests"), std::string::npos);
}

}  // namespace
}  // namespace vexa
