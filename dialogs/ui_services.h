// The few platform services the forms need beyond their own widgets: message
// boxes, the beep, the help viewer and the printer. The program installs the
// Qt implementation; widget tests install a scripted one that answers
// confirmations and records what was shown, so no test waits on a modal box.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace rara {

class TUiServices {
 public:
  virtual ~TUiServices() = default;

  // Confirmation box with Yes and No; true for Yes (No cancels).
  virtual bool Confirm(const QString& text) = 0;
  // Information box with OK.
  virtual void Information(const QString& text) = 0;
  // Error box with OK (also the application's default error box).
  virtual void Error(const QString& text) = 0;
  virtual void Beep() = 0;

  // Help viewer: the contents topic, or a topic by number (10 main window,
  // 50 display options, 100 parameters dialog, 200 curve dialog).
  virtual void HelpContents() = 0;
  virtual void HelpTopic(int topic) = 0;

  // Shows the printer selection dialog and, when the user confirms, prints
  // the lines in the font: one printed line each, a line wider than the page
  // continuing on the next printed line, new pages as needed.
  // False when the user cancelled; a printer failure is reported as an error.
  virtual bool Print(const QStringList& lines, const QFont& font) = 0;
};

// The services in use; set once by main (and by the widget tests' main).
TUiServices& Ui();
void SetUi(TUiServices* services);

}  // namespace rara
