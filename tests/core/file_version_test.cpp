#include "core/file_version.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/paths.h"
#include "core/temp_folder.h"

namespace vexa {
namespace {

#ifdef _WIN32
// Every executable of the build carries the program's version resource
// (translation 0x0419, code page 0x04E3), this test binary too; the
// fixtures carry broken ones.
TEST(FileVersionOf, ReadsTheFirstTranslationsFileVersion) {
  testing::TempFolder dir;
  std::ofstream(dir.File("plain.txt")) << "not a program";
  const struct {
    std::string path;
    const char* expected;
  } cases[] = {
      {ProgramPath(), "1.1.0.135"},
      {VEXA_FIXTURE_OTHER_LANGUAGE_FIRST, "2.0.0.7"},
      {VEXA_FIXTURE_NO_TRANSLATION, ""},
      {VEXA_FIXTURE_MISSING_BLOCK, ""},
      {VEXA_FIXTURE_NO_RESOURCE, ""},
      {dir.File("plain.txt"), ""},
      {dir.File("missing.exe"), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FileVersionOf(c.path), c.expected) << c.path;
}

TEST(ProgramVersionText, IsTheProgramFilesResourceOnWindows) {
  EXPECT_EQ(ProgramVersionText("9.9.9.9"), "1.1.0.135");
}
#else
TEST(FileVersionOf, OnlyWindowsProgramsCarryOne) {
  EXPECT_EQ(FileVersionOf(ProgramPath()), "");
  EXPECT_EQ(ProgramVersionText("1.1.0.135"), "1.1.0.135");
}
#endif

}  // namespace
}  // namespace vexa
