// TCurveForm: the dialog where the user picks the field polynomial of degree
// N (from the built-in lists or typed in either notation) and the basis, then
// finds a random root of the Weber polynomial and builds the curve from it.
#pragma once

#include <cstdint>

#include <QDialog>

#include "dialogs/dialog_widgets.h"
#include "gf2/gf2_poly.h"

class QGroupBox;
class QPlainTextEdit;
class QRadioButton;
class QToolButton;

namespace rara {

class TECGF2Data;

class TCurveForm : public TComputingDialog {
  Q_OBJECT
 public:
  explicit TCurveForm(QWidget* parent = nullptr);
  ~TCurveForm() override;

  // Runs the dialog with its own event loop; true when a curve was made and
  // the user acknowledged it. The record's CurveBuilt is false unless a run
  // finished. Errors other than an abort close the dialog and reach the caller.
  bool Execute(TECGF2Data& data);

  // Dialog state.
  TGF2Poly EditPoly;  // last polynomial parsed from or loaded into FPEdit
  std::int32_t N = 0;
  bool Done = false;
  bool Go = false;
  bool X963Available = false;
  bool GaussAvailable = false;

 protected:
  QPushButton* SecondButton() const override { return CancelBtn; }
  QPushButton* HelpButton() const override { return HelpBtn; }
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void OKBtnClick();
  void CancelBtnClick();
  void FPEditDblClick();
  void SRadioBtnClick();
  void NRadioBtnClick();
  void LoadBtn1Click();
  void LoadBtn2Click();
  void LoadBtn3Click();
  void LoadBtn4Click();
  void BTLabelClick();

  void ListSetup();
  void LoadAsList(const TGF2Poly& p);
  bool Run();  // false when aborted
  void SetReady();
  void SetRunning();
  void SetFinished();
  void SetFieldControlsEnabled(bool enabled);

  TECGF2Data* Data = nullptr;

  QGroupBox* FieldPolyBox;
  TClickLabel* BTLabel;
  QRadioButton* SRadioBtn;
  QRadioButton* NRadioBtn;
  QPlainTextEdit* FPEdit;
  QToolButton* LoadBtn1;
  QToolButton* LoadBtn2;
  QToolButton* LoadBtn3;
  QToolButton* LoadBtn4;
  QLabel* P1363Label;
  QLabel* X963Label;
  QLabel* X963StatusLabel;
  QLabel* GaussLabel;
  QLabel* GaussStatusLabel;
  QLabel* PentaLabel;
  QGroupBox* StatusBox;
  QLabel* StatusRLabel;
  QLabel* RXLabel;
  QLabel* StatusCLabel;
  QLabel* CXLabel;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* HelpBtn;
};

}  // namespace rara
