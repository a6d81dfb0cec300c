// Whether this program runs from an installed tree (<prefix>/bin beside
// <prefix>/share/orvela) rather than from its build folder.
#pragma once

#include <QString>
#include <optional>

namespace orvela {

// <prefix>/share/orvela when the program is installed there.
std::optional<QString> InstalledDataFolder();

}  // namespace orvela
