// Rewriting a file over itself so that a crash or a failed write never loses its old text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvela {

// Replaces the content of the file at path by bytes.
// - A symbolic link is followed: its target is rewritten and the link stays a link.
// - A file with one name is replaced through a temporary file in the same folder, flushed to
//   disk, given the file's owner and permission bits, then renamed over it.
// - A file with several hard links is rewritten in place, so that every name sees the new
//   text; so is a file whose owner or group this user may not give to a new file, so that it
//   keeps them. A write that fails midway puts the old text back.
// Throws CannotCreateFile(path) when the file or its folder may not be written, before
// anything of the file is written, and StreamWriteError() when writing fails (a full disk);
// the file then keeps its old content.
void SafeRewrite(const std::string& path, std::string_view bytes);

// Test hook: makes the writing of new content fail, as on a full disk, once this many bytes of it
// have been written; for every file, or only for the one rewritten under onlyPath (the path as
// given to SafeRewrite). std::nullopt switches it off. Writes that restore old text never fail.
// Set it only while no run is under way.
void FailWritesAfterForTesting(std::optional<std::size_t> bytes, std::string onlyPath = {});

}  // namespace orvela
