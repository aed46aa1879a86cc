// Replacing a file so that a crash leaves either the complete old content or
// the complete new one: write a temporary file in the same folder, sync it,
// rename it over the target, sync the folder.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/own_texts.h"

namespace vexa {

struct FileResult {
  FileResult() = default;
  FileResult(bool success, std::string why = {}, TOwnMessage said = {})
      : ok(success), error(std::move(why)), message(std::move(said)) {}

  bool ok = false;
  std::string error;  // what failed and why, in English (the tools), empty on success
  // The same for the operator, in the language on screen; empty where the
  // failure has no own text (then error is shown).
  TOwnMessage message;

  static FileResult Failed(Own id, std::vector<std::string> args) {
    TOwnMessage m{id, std::move(args)};
    std::string english = m.Text(kEnglish);
    return {false, std::move(english), std::move(m)};
  }
  std::string Text(int language) const { return message.empty() ? error : message.Text(language); }
};

// Writes bytes to path atomically (see above). On failure the target is
// untouched and the temporary file removed.
FileResult WriteFileAtomic(const std::string& path, std::span<const std::byte> bytes);

// For a writer that fills a file by its path (a library): ReserveFileBeside
// creates a new empty file of its own name in path's folder (path plus
// ".tmp" and a unique suffix) and sets temp to it; once it is filled,
// CommitFileOver syncs it, renames it over path and syncs the folder. When
// the commit fails, temp is removed and path untouched; a writer that fails
// before removes temp itself (RemoveFile).
FileResult ReserveFileBeside(const std::string& path, std::string& temp);
FileResult CommitFileOver(const std::string& temp, const std::string& path);

// Reads at most maxBytes of a file. False when it cannot be opened or read;
// then *error (when given) says why.
bool ReadFileBytes(const std::string& path, std::size_t maxBytes, std::vector<std::byte>& out,
                   std::string* error = nullptr);

bool FileExists(const std::string& path);
// Anything at all at path: a file, a folder, a link (even one to nothing).
bool PathExists(const std::string& path);

// Renames from to to, but never over something already at to.
FileResult MoveAside(const std::string& from, const std::string& to);

// Deletes a file; a file that is already gone counts as success.
FileResult RemoveFile(const std::string& path);

// Creates a folder and any missing folders above it; one that exists counts
// as success.
FileResult MakeFolders(const std::string& path);

}  // namespace vexa
