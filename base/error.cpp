#include "base/error.h"

namespace orvela {

Error CannotCreateFile(const std::string& path) {
  return Error("Cannot create file " + path);
}
Error CannotOpenFile(const std::string& path) {
  return Error("Cannot open file " + path);
}
Error ListIndexOutOfBounds(long index) {
  return Error("List index out of bounds (" + std::to_string(index) + ")");
}
Error UnableToInsertLine() {
  return Error("Unable to insert a line");
}
Error StreamWriteError() {
  return Error("Stream write error");
}

std::string WithFullStop(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  return message;
}

}  // namespace orvela
