// What the main window takes from the folder import subsystem.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace orvela {

// Start-up: creates the folder dialog (whose creation loads the type-list file)
// and then the type entry dialog, both hidden, owned by mainWindow.
void CreateFolderDialogs(QWidget* mainWindow);

// The save step of the main window's close: writes the file-type list to its file.
// Throws Error ("Cannot create file %s", "Stream write error").
void SaveFileTypeList();

// The folder import command: shows the folder dialog modally and, on OK with an
// existing folder, offers every file of a listed type to addUnlessPresent.
void ImportFolder(const std::function<void(const std::string&)>& addUnlessPresent);

}  // namespace orvela
