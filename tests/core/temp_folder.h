// A fresh folder under the system's temporary folder, removed with its
// content when the test ends.
#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

namespace vexa::testing {

class TempFolder {
 public:
  // Test processes run in parallel: the name is random and create_directory
  // must be the call that made it, or two tests could share (and remove) one
  // folder.
  TempFolder() {
    std::random_device entropy;
    std::mt19937_64 random((static_cast<unsigned long long>(entropy()) << 32) ^ entropy());
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = base / ("vexa-test-" + std::to_string(random()));
      if (std::filesystem::create_directory(path_)) return;
    }
    throw std::runtime_error("no fresh temporary folder under " + base.string());
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string path() const { return path_.string(); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  int EntryCount() const {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(path_)) ++n;
    return n;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace vexa::testing
