// The one interface through which handlers ask the user or call the desktop.
// The Qt implementation is the real one; tests install a scripted one.
#pragma once

#include <optional>
#include <string>

class QDialog;
class QString;
class QWidget;

namespace orvela {

class DialogHost {
 public:
  enum class Icon { Information, Question, Stop };

  virtual ~DialogHost() = default;

  // A modal box with one OK button.
  virtual void ShowMessage(QWidget* owner, const QString& text, const QString& caption,
                           Icon icon) = 0;
  // A modal box with the information icon and one OK button: text at the top and, when
  // details is not empty, a scrolling area below it; never taller than the screen.
  virtual void ShowReport(QWidget* owner, const QString& text, const QString& details,
                          const QString& caption) = 0;
  // Yes/No with the question icon, Yes the default. True for Yes.
  virtual bool AskYesNo(QWidget* owner, const QString& text, const QString& caption) = 0;
  // OK/Cancel with the information icon, Cancel the default. True for OK.
  virtual bool AskOkCancel(QWidget* owner, const QString& text, const QString& caption) = 0;
  // The add-file Open dialog, starting in startFolder (bytes; empty: the platform's
  // choice); the chosen existing file's path as bytes, or nothing.
  virtual std::optional<std::string> ChooseFileToOpen(QWidget* owner,
                                                      const std::string& startFolder) = 0;
  // Shows a dialog of the program's own modally; its result (1 OK, 2 Cancel).
  virtual int ExecModal(QDialog* dialog) = 0;
  // Opens a local file (path as bytes) with the desktop's default program; false when
  // the desktop could not (no program for it).
  virtual bool OpenWithDefaultProgram(const std::string& path) = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  // Lets pending user-interface events run.
  virtual void ProcessPendingEvents() = 0;
};

// The host in use: the Qt one unless a test installed another.
DialogHost& Dialogs();

// Opens a local file with the desktop's default program, or says in an error box,
// naming the file, that no program could open it.
void OpenOrSay(QWidget* owner, const std::string& path);
void SetDialogs(DialogHost* host);  // nullptr restores the Qt host

}  // namespace orvela
