#include "base/error.h"

#include <cstring>

namespace orvela {

Error CannotCreateFile(const std::string& path, int error) {
  return Error("Cannot create file " + path + ": " + std::strerror(error));
}
Error CannotOpenFile(const std::string& path, int error) {
  return Error("Cannot open file " + path + ": " + std::strerror(error));
}
Error ListIndexOutOfBounds(long index) {
  return Error("List index out of bounds (" + std::to_string(index) + ")");
}
Error UnableToInsertLine() {
  return Error("Unable to insert a line");
}

std::string WithFullStop(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  return message;
}

}  // namespace orvela
