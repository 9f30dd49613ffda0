// User-interface services for the widget tests: every box, beep, help request
// and print job is recorded instead of shown, and confirmations are answered
// from a queue, so that no test ever waits on a modal window.
#pragma once

#include <deque>
#include <vector>

#include <QFont>
#include <QString>
#include <QStringList>

#include "dialogs/ui_services.h"

namespace rara::test {

class TScriptedUi : public TUiServices {
 public:
  bool Confirm(const QString& text) override;
  void Information(const QString& text) override;
  void Error(const QString& text) override;
  void Beep() override;
  void HelpContents() override;
  void HelpTopic(int topic) override;
  bool Print(const QStringList& lines, const QFont& font) override;

  // Forgets everything recorded and queued.
  void Reset();

  // Answers for the next confirmations, front first; an empty queue answers
  // DefaultAnswer.
  std::deque<bool> Answers;
  bool DefaultAnswer = true;
  // What Print returns (false: the user cancelled the printer dialog).
  bool PrintAccepted = true;

  QStringList Confirms;
  QStringList Informations;
  QStringList Errors;
  int Beeps = 0;
  int ContentsShown = 0;
  std::vector<int> Topics;
  QStringList Printed;  // lines of the last accepted print job
  QFont PrintFont;
  int PrintJobs = 0;
};

// The instance that the test program installs before the first test.
TScriptedUi& ScriptedUi();

}  // namespace rara::test
