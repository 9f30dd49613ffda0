// TFormatForm: the display options dialog. It edits a working copy of the
// display settings and writes it back only on OK.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace rara {

class TFormatForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int HelpTopic = 50;

  explicit TFormatForm(QWidget* parent = nullptr);

  // The working copy.
  bool WorkBinary() const noexcept { return binary_; }
  bool WorkReversed() const noexcept { return reversed_; }

 public slots:
  void P01RadioBtnClick();
  void P16RadioBtnClick();
  void OrderCheckBoxClick();
  void BtnOKClick();
  void BtnHelpClick();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormCreate();

  bool binary_ = false;
  bool reversed_ = false;

  QGroupBox PolyBox;
  QRadioButton P01RadioBtn;
  QRadioButton P16RadioBtn;
  QCheckBox OrderCheckBox;
  QPushButton BtnOK;
  QPushButton BtnCancel;
  QPushButton BtnHelp;
};

}  // namespace rara
