// Rewriting a file over itself so that a crash, a full disk or a race never loses its old text
// nor writes anything into another file.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/whole_file.h"

namespace orvela {

// The text of a file replaced by a rewrite that was left without this reason.
inline constexpr const char* kReplacedOrChanged = "文件在转换期间被替换或修改";

// Thrown when the file is no longer the one that was read: its name now leads elsewhere, or
// its size, modification time or change time moved. Nothing has been written anywhere.
class ReplacedOrChanged : public std::runtime_error {
 public:
  ReplacedOrChanged() : std::runtime_error(kReplacedOrChanged) {}
};

// Replaces the content of the file that `file` describes (as ReadWholeFile left it) by bytes;
// shownPath names it in messages.
// - The file replaced is the one that was read: the same device and inode, under the same name
//   in the same folder, unchanged since. Otherwise ReplacedOrChanged is thrown.
// - A file with one name is replaced through a new file in the same folder (anonymous where
//   the file system allows), flushed to disk, given the owner and permission bits, then
//   renamed over it.
// - A file with several hard links, one whose owner this user may not give to a new file, or
//   one in a folder that takes no new files, is rewritten in place, so that it keeps its
//   names and owner. A recovery copy of the original is flushed first (beside the file, or in
//   the per-user cache folder) and removed once the new text is flushed.
// Throws CannotCreateFile(shownPath, reason) when the file may not be written or writing
// fails (a full disk); the file then keeps its old content and no new file is left.
void SafeRewrite(const FileAt& file, std::string_view bytes, const std::string& shownPath);

// The new text of a file, made in pieces from its old text.
class NewText {
 public:
  using Put = std::function<void(std::string_view)>;
  virtual ~NewText() = default;
  // Reads the old text from `from` (with pread, from its start) and hands the new text to put,
  // piece by piece. Returns why the file is to keep its old text (what put took is then
  // dropped; an empty reason is no fault), or nullopt to replace it. May be called twice for
  // one rewrite, and must then make the same text.
  virtual std::optional<std::string> Make(int from, const Put& put) = 0;
};

// SafeRewrite with a text made in pieces, so that no file is ever held whole. The file keeps
// its old text, and the reason is returned, when text gives one: a new file is then dropped
// unnamed, and a file rewritten in place is judged by a first, read-only pass before anything
// is written. A file this user may not write raises CannotCreateFile only when text would
// change it.
std::optional<std::string> SafeRewrite(const FileAt& file, NewText& text,
                                       const std::string& shownPath);

// The same for the file at path as it is now, following a symbolic link once; a missing file is
// created with permission bits 0666 less the umask.
void SaveFile(const std::string& path, std::string_view bytes);

// Where a rewrite of this file that was interrupted left the complete copy of its original,
// when it did; shown as a path.
std::optional<std::string> RecoveryCopyOf(const FileAt& file);

// Removes what an interrupted rewrite of this file may have left beside it: a new text not yet
// renamed over it, never the recovery copy.
void RemoveLeftoverOf(const FileAt& file);

// Test hook: makes the writing of new content fail with "No space left on device" once this many
// bytes of it have been written; for every file, or only for the one shown as onlyPath.
// std::nullopt switches it off. Writes that restore old text never fail. Set it only while no
// run is under way.
void FailWritesAfterForTesting(std::optional<std::size_t> bytes, std::string onlyPath = {});

// The points of a rewrite at which the test hook is called.
enum class RewriteStep {
  kStart,            // nothing done yet
  kNewTextFlushed,   // the new text is flushed, under no name where the file system allows
  kNewTextNamed,     // the new text is under its temporary name, about to be renamed over the file
  kChecked,          // the file was found as read, just before its name gets the new text
  kRecoveryFlushed,  // the recovery copy is on disk; the file is untouched
  kHalfWritten,      // in place: part of the new text is written over the old
  kWrittenInPlace,   // in place: the new text is flushed; the recovery copy is still there
};
// Test hook: called at each step with the file's name in its folder. Empty switches it off.
void SetRewriteHookForTesting(std::function<void(RewriteStep, const std::string& name)> hook);

}  // namespace orvela
