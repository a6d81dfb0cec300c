// Reading a listed file whole, with a short reason when it cannot be read.
#pragma once

#include <optional>
#include <string>

#include <sys/types.h>

namespace orvela {

struct WholeFile {
  std::optional<std::string> bytes;  // empty when the file could not be read
  std::string whyNot;                // the reason shown to the user, when bytes is empty
  dev_t device = 0;                  // which file it was, once read
  ino_t inode = 0;
};

// Reads the whole regular file at path (following symbolic links). Anything that is not a
// regular file (a folder, a device, a FIFO) is refused without reading it, so nothing blocks.
WholeFile ReadWholeFile(const std::string& path);

}  // namespace orvela
