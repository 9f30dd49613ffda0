// The "Checks" window of the curve page: the proof of the current curve's
// order, its independent point count and the security verdicts, as text.
#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace rara {

class TECGF2Data;

class TChecksForm : public QWidget {
  Q_OBJECT
 public:
  static constexpr int HelpTopic = 210;

  explicit TChecksForm(QWidget* parent);

  // Computes the checks of the record's curve and shows them.
  void ShowChecks(TECGF2Data& data);

  // The one window of the parent, made on first use; it stays open beside
  // the main window until closed.
  static TChecksForm& Of(QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QPlainTextEdit* text_;
};

}  // namespace rara
