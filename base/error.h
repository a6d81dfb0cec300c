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

Error CannotCreateFile(const std::string& path);  // "Cannot create file %s"
Error CannotOpenFile(const std::string& path);    // "Cannot open file %s"
Error ListIndexOutOfBounds(long index);           // "List index out of bounds (%d)"
Error UnableToInsertLine();                       // "Unable to insert a line"
Error StreamWriteError();                         // "Stream write error"

// The text the error display shows: a full stop is appended when the message is
// not empty and its last byte sorts after '.' (so "!", ",", ")" and " " get none).
std::string WithFullStop(std::string message);

}  // namespace orvela
