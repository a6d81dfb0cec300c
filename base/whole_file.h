// Reading a listed file whole, with a short reason when it cannot be read, and the place it
// was read from, so that a later rewrite reaches that same file and no other.
#pragma once

#include <sys/stat.h>

#include <functional>
#include <optional>
#include <string>

#include "base/unique_fd.h"

namespace orvela {

// A file as it was reached: the folder that holds it (opened once), its name in that folder
// and what the file was then. A symbolic link at the end of the path has been followed.
struct FileAt {
  UniqueFd folder;
  std::string name;
  std::string folderShown;  // the folder as a path for messages, ending in "/"
  struct stat folderStat {};
  struct stat st {};  // of the file itself
};

// Finds the file a path names: its folder is opened, and a symbolic link in the last place is
// followed (up to 40 times) by opening the folder it points into. errno is set on failure.
std::optional<FileAt> LocateFile(const std::string& path);

// The reason shown to the user for a file that could not be read, from errno.
std::string ReadFailureReason(int error);

// The listed file at path opened for reading, as ReadWholeFile opens it, nothing read yet.
struct OpenedFile {
  UniqueFd fd;         // invalid when the file is refused
  std::string whyNot;  // the reason shown, when it is
  FileAt at;
};
OpenedFile OpenListedFile(const std::string& path,
                          const std::function<std::string(const FileAt&)>& refuse = {});

struct WholeFile {
  std::optional<std::string> bytes;  // empty when the file could not be read
  std::string whyNot;                // the reason shown to the user, when bytes is empty
  dev_t device = 0;                  // which file it was, once read
  ino_t inode = 0;
  FileAt at;  // where it was read, and its state when read
};

// Reads the whole regular file at path (following symbolic links). Anything that is not a
// regular file (a folder, a device, a FIFO) is refused without reading it, so nothing blocks.
// refuse, when given, sees the opened file before anything of it is read: a reason it
// returns refuses the file.
WholeFile ReadWholeFile(const std::string& path,
                        const std::function<std::string(const FileAt&)>& refuse = {});

}  // namespace orvela
