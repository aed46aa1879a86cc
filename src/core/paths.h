// Where the program's files live: the settings file, the preset file and the
// serial-port map are named after the program and kept in one folder.
#pragma once

#include <string>

namespace vexa {

// Full path of the running program file ("/opt/vexa/bin/vexa-rec").
std::string ProgramPath();

// The folder for vexa.cfg, vexa.pset and vexa.ports, without a trailing
// separator: $VEXA_CONFIG_DIR when set; else the program's folder when it is
// writable; else $XDG_CONFIG_HOME/vexa or ~/.config/vexa (created on demand).
std::string ConfigDir();

// The system's path separator as the files' paths use it.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// dir + separator + name, without doubling a separator dir already ends with.
std::string JoinPath(const std::string& dir, const std::string& name);

}  // namespace vexa
