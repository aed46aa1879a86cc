#include "core/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/temp_folder.h"
#include "link/test_env.h"

namespace vexa {
namespace {

TEST(JoinPath, AddsOneSeparatorOnly) {
  const std::string sep(1, kPathSeparator);
  EXPECT_EQ(JoinPath("dir", "f.cfg"), "dir" + sep + "f.cfg");
  EXPECT_EQ(JoinPath("dir" + sep, "f.cfg"), "dir" + sep + "f.cfg");
  EXPECT_EQ(JoinPath("", "f.cfg"), "f.cfg");
}

TEST(ParentFolder, KeepsCyrillicAndSpacesAsUtf8) {
  const std::string sep(1, kPathSeparator);
  const std::string folder = "Мои записи" + sep + "опыт 1";
  EXPECT_EQ(ParentFolder(folder + sep + "vexa.cfg"), folder);
  EXPECT_EQ(ParentFolder("vexa.cfg"), "");
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

#ifndef _WIN32
// The documents folder of user-dirs.dirs: what xdg-user-dirs writes, what a
// user may write by hand, and lines that name no folder.
TEST(DocumentsDirFromUserDirs, ReadsTheQuotedLineAsTheShellWould) {
  const std::string home = "/home/op";
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n",
       "/home/op/Documents"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/"
       "\xD0\x94\xD0\xBE\xD0\xBA\xD1\x83\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x82\xD1\x8B\"\r\n",
       "/home/op/\xD0\x94\xD0\xBE\xD0\xBA\xD1\x83\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x82\xD1\x8B"},
      {"  XDG_DOCUMENTS_DIR=\"/srv/lab data/\"", "/srv/lab data"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/My \\\"docs\\\"\"", "/home/op/My \"docs\""},
      {"XDG_DOCUMENTS_DIR=\"$HOME\"", "/home/op"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"$HOME/b\"", "/home/op/b"},
      {"# XDG_DOCUMENTS_DIR=\"$HOME/commented\"", ""},
      {"XDG_DOCUMENTS_DIR=\"Documents\"", ""},    // relative: not a folder it may name
      {"XDG_DOCUMENTS_DIR=\"$HOMEWORK/x\"", ""},  // not $HOME
      {"XDG_DOCUMENTS_DIR=\"$HOME/unterminated", ""},
      {"XDG_DOCUMENTS_DIR=$HOME/unquoted", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DocumentsDirFromUserDirs(c.text, home), c.expected) << c.text;
  }
  EXPECT_EQ(DocumentsDirFromUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/Documents\"", ""), "");
}

// A fresh home with its own configuration folder, and no XDG_DOCUMENTS_DIR.
struct FreshHome {
  testing::TempFolder dir;
  test::ScopedEnv home{"HOME", dir.path()};
  test::ScopedEnv config{"XDG_CONFIG_HOME", dir.File("conf")};
  test::ScopedEnv documents{"XDG_DOCUMENTS_DIR", ""};
  test::ScopedEnv settings{"VEXA_CONFIG_DIR", ""};
};

TEST(DocumentsDir, EnvironmentThenUserDirsThenDocumentsInTheHome) {
  FreshHome h;
  EXPECT_EQ(DocumentsDir(), h.dir.File("Documents"));

  std::filesystem::create_directories(h.dir.File("conf"));
  std::ofstream(h.dir.File("conf/user-dirs.dirs")) << "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n";
  EXPECT_EQ(DocumentsDir(), h.dir.File("Papers"));

  test::ScopedEnv documents("XDG_DOCUMENTS_DIR", "/srv/docs/");
  EXPECT_EQ(DocumentsDir(), "/srv/docs");
}

TEST(ConfigDir, AnInstalledProgramNeverKeepsItsFilesBesideItself) {
  FreshHome h;
  // The test binary's folder is writable, as /usr/bin is for root.
  EXPECT_EQ(ConfigDir(PathLayout::kDevelopment),
            std::filesystem::path(ProgramPath()).parent_path().string());
  EXPECT_EQ(ConfigDir(PathLayout::kInstalled), h.dir.File("conf/vexa"));
  EXPECT_TRUE(std::filesystem::is_directory(h.dir.File("conf/vexa")));
  test::ScopedEnv settings("VEXA_CONFIG_DIR", h.dir.File("elsewhere"));
  EXPECT_EQ(ConfigDir(PathLayout::kInstalled), h.dir.File("elsewhere"));
}

TEST(DefaultDestinationFolder, TheSettingsFolderOrVexaInTheDocuments) {
  FreshHome h;
  EXPECT_EQ(DefaultDestinationFolder(PathLayout::kDevelopment, "/cfg"), "/cfg");
  EXPECT_EQ(DefaultDestinationFolder(PathLayout::kInstalled, "/cfg"), h.dir.File("Documents/VEXA"));
  // Naming it creates nothing.
  EXPECT_FALSE(std::filesystem::exists(h.dir.File("Documents")));
}
#else
TEST(DocumentsDir, TheShellNamesOne) { EXPECT_FALSE(DocumentsDir().empty()); }
#endif

TEST(ProgramPath, NamesTheTestBinary) {
  EXPECT_NE(ProgramPath().find("vexa_core_tests"), std::string::npos);
}

}  // namespace
}  // namespace vexa
