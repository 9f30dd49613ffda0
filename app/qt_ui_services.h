// The program's user-interface services: Qt message boxes, the system beep,
// the in-program help window and printing through the printer dialog.
#pragma once

#include <memory>

#include "dialogs/ui_services.h"

namespace rara {

class THelpViewer;

class TQtUiServices : public TUiServices {
 public:
  TQtUiServices();
  ~TQtUiServices() override;

  bool Confirm(const QString& text) override;
  void Information(const QString& text) override;
  void Error(const QString& text) override;
  void Beep() override;
  void HelpContents() override;
  void HelpTopic(int topic) override;
  bool Print(const QStringList& lines, const QFont& font) override;

  // The help window, created on first use.
  THelpViewer& HelpViewer();

 private:
  std::unique_ptr<THelpViewer> help_;
};

}  // namespace rara
