// The file: address of a local path given as bytes, for the desktop's opener.
#pragma once

#include <QUrl>
#include <string>

namespace orvela {

// Every byte of the path survives: a name that is no valid text in the locale's
// encoding is percent-encoded byte for byte instead of being decoded for display.
QUrl LocalFileUrl(const std::string& path);

}  // namespace orvela
