#include "ui/folder_import.h"

#include <QCheckBox>

#include "folders/folder_scan.h"
#include "folders/posix_directory_search.h"
#include "folders/type_list_file.h"
#include "ui/dialogs.h"
#include "ui/folder_dialog.h"
#include "ui/type_entry_dialog.h"
#include "ui/type_list_place.h"

namespace orvela {

void CreateFolderDialogs(QWidget* mainWindow) {
  Form3 = new TForm3(mainWindow);
  Form4 = new TForm4(mainWindow);
}

void SaveFileTypeList() {
  if (!Form3) return;
  PrepareTypeListFolder();
  WriteTypeListFile(TypeListFilePath(), Form3->Types().Entries());
}

void ImportFolder(const std::function<void(const std::string&)>& addUnlessPresent) {
  if (!Form3 || Dialogs().ExecModal(Form3) != 1) return;
  if (!FolderExists(Form3->GetPath())) return;
  const std::string dir = WithFinalSeparator(Form3->GetPath());

  Dialogs().SetBusyCursor(true);
  // The default cursor comes back also when an error ends the import early.
  struct DefaultCursor {
    ~DefaultCursor() { Dialogs().SetBusyCursor(false); }
  } defaultCursor;

  // The type list is asked anew for every entry: events run during the recursive
  // scan may edit it, or even another import may.
  QPointer<TForm3> form = Form3;
  const ScanCallbacks callbacks{
      [form](const std::string& pattern) { return form && form->Types().Contains(pattern); },
      addUnlessPresent, [] { Dialogs().ProcessPendingEvents(); }};
  PosixDirectorySearch search(/*readOnlyFlag=*/false);
  if (Form3->CheckBox1->isChecked())
    IndexDisk(search, dir, callbacks);
  else
    FlatScan(search, dir, callbacks);
}

}  // namespace orvela
