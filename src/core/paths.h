// Where the program's files live: the settings file, the preset file and the
// serial-port map are named after the program and kept in one folder.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// Full path of the running program file ("/opt/vexa/bin/vexa-rec").
std::string ProgramPath();

// Where a build keeps its files. A development build (a build tree, a copied
// folder) keeps them beside the program when it can; an installed one (the
// Debian package) never does: /usr/bin is shared by every user and writable
// for root, and settings left there would be everyone's.
enum class PathLayout { kDevelopment, kInstalled };

// The layout this build was made with (CMake's VEXA_INSTALLED_LAYOUT). On
// Windows one build is both: installed when the file kInstalledMarker lies
// beside the program (the installer puts it there), else development.
PathLayout BuildLayout();
inline constexpr char kInstalledMarker[] = "vexa.installed";

// The folder for vexa.cfg, vexa.pset and vexa.ports, without a trailing
// separator: $VEXA_CONFIG_DIR when set; else, in a development build, the
// program's folder when it is writable; else $XDG_CONFIG_HOME/vexa or
// ~/.config/vexa (%APPDATA%\vexa on Windows), created on demand.
std::string ConfigDir();
std::string ConfigDir(PathLayout layout);

// The same rule in words for this build, one folder a line, for the tools'
// --help (and so their man pages).
std::vector<std::string_view> ConfigDirRule();

// The user's documents folder: $XDG_DOCUMENTS_DIR, else the
// XDG_DOCUMENTS_DIR line of user-dirs.dirs in $XDG_CONFIG_HOME or ~/.config,
// else ~/Documents; the shell's Documents folder on Windows. Not created.
std::string DocumentsDir();

// The XDG_DOCUMENTS_DIR of a user-dirs.dirs text: a quoted "$HOME/..." or
// absolute path, the last such line winning; "" when it names none.
std::string DocumentsDirFromUserDirs(std::string_view text, const std::string& home);

// The destination a new settings file in configDir starts with: configDir
// itself in a development build; in an installed one a VEXA folder in the
// user's documents (DocumentsDir()). Naming it creates nothing; the new
// settings file and the recordings do (TGLOB::DefaultDestination).
std::string DefaultDestinationFolder(const std::string& configDir);
std::string DefaultDestinationFolder(PathLayout layout, const std::string& configDir);

// The system's path separator as the files' paths use it.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Paths inside the program are UTF-8 on every system. These give the
// system's path for one and back: on Windows the wide path, not the ANSI
// code page, which cannot name every folder (a user name in another script).
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);
// std::fopen for a UTF-8 path (mode "rb", "r+b", ...): on Windows through
// the wide path.
std::FILE* OpenFile(const std::string& utf8Path, const char* mode);

// The folder a UTF-8 path lies in ("" for a bare name), UTF-8 too (not
// through the ANSI code page on Windows, which cannot hold every name).
std::string ParentFolder(const std::string& path);

// dir + separator + name, without doubling a separator dir already ends with.
std::string JoinPath(const std::string& dir, const std::string& name);

}  // namespace vexa
