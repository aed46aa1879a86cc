// The commands of vexa-rec. Each takes the words after its name and returns
// the process's exit status; each lives in its own cmd_<name>.cpp.
#pragma once

#include <string>
#include <vector>

namespace vexa::rec {

using Args = std::vector<std::string>;

struct Command {
  const char* name;
  int (*run)(const Args& args);
  const char* usage;    // one line: the arguments
  const char* summary;  // one line: what it does
};

}  // namespace vexa::rec
