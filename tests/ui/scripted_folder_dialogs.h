// The dialog host with scripted answers, for the widget tests.
#pragma once

#include <QApplication>
#include <QDialog>
#include <functional>
#include <vector>

#include "ui/dialogs.h"

namespace orvela::test {

class ScriptedDialogs final : public DialogHost {
 public:
  ScriptedDialogs() { SetDialogs(this); }
  ~ScriptedDialogs() override { SetDialogs(nullptr); }

  // Plays the user's part in a modal dialog of the program's own; returns its result.
  std::function<int(QDialog*)> onExecModal = [](QDialog*) { return 2; };
  // Runs when pending events are let run, before they run.
  std::function<void()> onEvents = [] {};

  std::vector<bool> cursorCalls;  // true: busy, false: default
  std::vector<QString> messages;
  int eventTurns = 0;

  void ShowMessage(QWidget*, const QString& text, const QString&, Icon) override {
    messages.push_back(text);
  }
  void ShowReport(QWidget*, const QString& text, const QString&, const QString&) override {
    messages.push_back(text);
  }
  bool AskYesNo(QWidget*, const QString&, const QString&) override { return false; }
  bool AskOkCancel(QWidget*, const QString&, const QString&) override { return false; }
  std::optional<std::string> ChooseFileToOpen(QWidget*, const std::string&) override {
    return std::nullopt;
  }
  int ExecModal(QDialog* dialog) override { return onExecModal(dialog); }
  bool OpenWithDefaultProgram(const std::string&) override { return true; }
  void SetBusyCursor(bool busy) override { cursorCalls.push_back(busy); }
  void ProcessPendingEvents() override {
    ++eventTurns;
    onEvents();
    QApplication::processEvents();
  }
};

}  // namespace orvela::test
