#include <string>

#include "recording/channel.h"

namespace vexa {

std::string TChannel::NextImageFileName() {
  ++ImageCount;
  // The extension is the part from the last "." of the file's own name.
  const std::size_t nameStart = RecordFileName.find_last_of("\\/:");
  const std::size_t dot = RecordFileName.rfind('.');
  const bool hasExtension =
      dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
  ImageFileName = (hasExtension ? RecordFileName.substr(0, dot) : RecordFileName) + "[" +
                  std::to_string(ImageCount) + "].bmp";
  return ImageFileName;
}

}  // namespace vexa
