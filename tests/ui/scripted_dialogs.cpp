#include "scripted_dialogs.h"

#include <QCoreApplication>

namespace orvela::test {

void ScriptedDialogs::ShowMessage(QWidget*, const QString& text, const QString& caption,
                                  Icon icon) {
  busyWhileShown = busy;
  shown.push_back({QStringLiteral("message"), text, caption, icon, {}});
}

void ScriptedDialogs::ShowReport(QWidget*, const QString& text, const QString& details,
                                 const QString& caption) {
  busyWhileShown = busy;
  shown.push_back({QStringLiteral("report"), text, caption, Icon::Information, details});
}

bool ScriptedDialogs::AskYesNo(QWidget*, const QString& text, const QString& caption) {
  shown.push_back({QStringLiteral("yesno"), text, caption, Icon::Question, {}});
  if (answers.empty()) return false;
  bool answer = answers.front();
  answers.pop_front();
  return answer;
}

bool ScriptedDialogs::AskOkCancel(QWidget*, const QString& text, const QString& caption) {
  shown.push_back({QStringLiteral("okcancel"), text, caption, Icon::Information, {}});
  if (answers.empty()) return false;
  bool answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<std::string> ScriptedDialogs::ChooseFileToOpen(QWidget*,
                                                             const std::string& startFolder) {
  startFolders.push_back(startFolder);
  if (files.empty()) return std::nullopt;
  auto file = files.front();
  files.pop_front();
  return file;
}

int ScriptedDialogs::ExecModal(QDialog* dialog) {
  return onExecModal ? onExecModal(dialog) : 2;
}

void ScriptedDialogs::SetBusyCursor(bool on) {
  busy = on;
  cursorChanges.push_back(on);
}

void ScriptedDialogs::ProcessPendingEvents() {
  if (onProcessEvents) onProcessEvents();
  QCoreApplication::processEvents();
}

}  // namespace orvela::test
