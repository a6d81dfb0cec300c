// A dialog host for tests: records what the program shows and answers from a script.
#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialogs.h"

namespace orvela::test {

class ScriptedDialogs final : public DialogHost {
 public:
  struct Shown {
    QString kind;  // "message", "yesno", "okcancel"
    QString text;
    QString caption;
    Icon icon = Icon::Information;
    QString details;  // a report's scrolling part
  };

  ScriptedDialogs() { SetDialogs(this); }
  ~ScriptedDialogs() override { SetDialogs(nullptr); }

  void ShowMessage(QWidget*, const QString& text, const QString& caption, Icon icon) override;
  void ShowReport(QWidget*, const QString& text, const QString& details,
                  const QString& caption) override;
  bool AskYesNo(QWidget*, const QString& text, const QString& caption) override;
  bool AskOkCancel(QWidget*, const QString& text, const QString& caption) override;
  std::optional<std::string> ChooseFileToOpen(QWidget*, const std::string& startFolder) override;
  int ExecModal(QDialog*) override;
  bool OpenWithDefaultProgram(const std::string& path) override {
    opened.push_back(path);
    return openable;
  }
  void SetBusyCursor(bool busy) override;
  void ProcessPendingEvents() override;

  // Answers, taken first to last; an empty script answers No / Cancel / nothing.
  std::deque<bool> answers;
  std::deque<std::optional<std::string>> files;
  // The program's own modal dialogs: what the user does in them, and the result.
  std::function<int(QDialog*)> onExecModal;
  // Runs before pending events do, each time the program lets them run.
  std::function<void()> onProcessEvents;

  std::vector<Shown> shown;
  std::vector<std::string> opened;
  bool openable = true;                   // whether the desktop has a program for a file
  std::vector<std::string> startFolders;  // where each Open dialog started
  std::vector<bool> cursorChanges;
  bool busy = false;
  bool busyWhileShown = false;  // the busy cursor was on when a box was shown
};

}  // namespace orvela::test
