// The type-list file varu_ext.txt: one pattern per line, written with CR LF.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

inline constexpr const char* kTypeListFileName = "varu_ext.txt";

// Lines of the file's content: CR LF, lone LF and lone CR end a line; a NUL ends the
// content; a line end at the very end adds no empty entry. Lines are kept verbatim.
std::vector<std::string> ParseTypeList(std::string_view content);
// Every entry followed by CR LF; an empty list gives an empty text.
std::string FormatTypeList(const std::vector<std::string>& entries);

// The entries of the file at path, or nothing when it cannot be opened or read.
std::optional<std::vector<std::string>> ReadTypeListFile(const std::string& path);
// Replaces the file's content by the whole text, crash-safely (the old list stays whole until
// the new one is flushed); creates the file when missing. Throws CannotCreateFile(path, reason)
// when it cannot be written; the old file is then unchanged.
void WriteTypeListFile(const std::string& path, const std::vector<std::string>& entries);

// Where the file lives: beside the executable when that folder already holds the
// file or is writable, else in configDir (the per-user configuration folder).
// Both folders are given without a final "/".
std::string ChooseTypeListPath(const std::string& exeDir, const std::string& configDir);

// Failure hook: writes stop after limit bytes, as on a full disk (the rewrite's own hook).
void SetTypeListWriteLimitForTest(std::optional<std::size_t> limit);

}  // namespace orvela
