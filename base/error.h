// The program's error type and the texts of its messages.
#pragma once

#include <stdexcept>
#include <string>

namespace orvela {

// Every failure the program reports is an Error carrying the text shown to the user.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The program's own message first, then the system's reason for errno value `error`.
Error CannotCreateFile(const std::string& path, int error);  // "Cannot create file %s: %s"
Error CannotOpenFile(const std::string& path, int error);    // "Cannot open file %s: %s"
Error ListIndexOutOfBounds(long index);                      // "List index out of bounds (%d)"
Error UnableToInsertLine();                                  // "Unable to insert a line"

// The text the error display shows: a full stop is appended when the message is
// not empty and its last byte sorts after '.' (so "!", ",", ")" and " " get none).
std::string WithFullStop(std::string message);

}  // namespace orvela
