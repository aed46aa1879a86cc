// Environment variables and scratch folders for the link tests.
#pragma once

#include <cstdlib>
#include <string>

#include "core/temp_folder.h"

namespace vexa::test {

inline void SetEnv(const std::string& name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name.c_str(), value.c_str());  // an empty value removes it
#else
  if (value.empty()) {
    unsetenv(name.c_str());
  } else {
    setenv(name.c_str(), value.c_str(), 1);
  }
#endif
}

// Sets a variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, const std::string& value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    SetEnv(name_, value);
  }
  ~ScopedEnv() { SetEnv(name_, old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::string old_;
};

// Scratch folders are the shared temporary folders of every layer's tests.
using ScratchDir = testing::TempFolder;

}  // namespace vexa::test
