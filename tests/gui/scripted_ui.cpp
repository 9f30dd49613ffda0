// Recording user-interface services for the widget tests.
#include "tests/gui/scripted_ui.h"

namespace rara::test {

bool TScriptedUi::Confirm(const QString& text) {
  Confirms << text;
  if (Answers.empty()) return DefaultAnswer;
  const bool answer = Answers.front();
  Answers.pop_front();
  return answer;
}

void TScriptedUi::Information(const QString& text) { Informations << text; }
void TScriptedUi::Error(const QString& text) { Errors << text; }
void TScriptedUi::Beep() { ++Beeps; }
void TScriptedUi::HelpContents() { ++ContentsShown; }
void TScriptedUi::HelpTopic(int topic) { Topics.push_back(topic); }

bool TScriptedUi::Print(const QStringList& lines, const QFont& font) {
  if (!PrintAccepted) return false;
  Printed = lines;
  PrintFont = font;
  ++PrintJobs;
  return true;
}

void TScriptedUi::Reset() {
  Answers.clear();
  DefaultAnswer = true;
  PrintAccepted = true;
  Confirms.clear();
  Informations.clear();
  Errors.clear();
  Beeps = 0;
  ContentsShown = 0;
  Topics.clear();
  Printed.clear();
  PrintFont = QFont();
  PrintJobs = 0;
}

TScriptedUi& ScriptedUi() {
  static TScriptedUi instance;
  return instance;
}

}  // namespace rara::test
