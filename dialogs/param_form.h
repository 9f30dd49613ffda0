// TParamForm: the dialog that collects the field degree, the limits on K,
// the trial-division bound, the starting discriminant and the precision
// ratio, then searches the CM parameters and computes the Weber polynomial
// on the construction record, showing the running time of each step.
#pragma once

#include <array>
#include <cstdint>

#include <QDialog>

#include "dialogs/dialog_widgets.h"

class QCheckBox;
class QGroupBox;
class QRadioButton;

namespace rara {

class TECGF2Data;

class TParamForm : public TComputingDialog {
  Q_OBJECT
 public:
  explicit TParamForm(QWidget* parent = nullptr);
  ~TParamForm() override;

  // Runs the dialog with its own event loop until the user cancels (false)
  // or acknowledges a successful computation (true). Errors other than an
  // abort close the dialog and reach the caller.
  bool Execute(TECGF2Data& data);

  // Form state, kept from one opening to the next (except D).
  std::int32_t N = 64;
  std::int32_t KMaxSize = 15;
  std::int32_t TrialBound = 32767;
  std::int32_t D = 0;
  bool KMod4 = false;
  long double Ratio = 1.0L;
  std::int32_t LastD = 0;
  std::int32_t Progress = 0;
  bool Cancelled = false;
  bool Go = false;

  // Text when the parameter search reached its limit without a discriminant.
  static QString SearchGaveUpText();

 protected:
  // The two steps of Compute; seams for tests that need a search that gives
  // up or a bad Weber polynomial.
  virtual void ComputeSearch(TECGF2Data& data);
  virtual void ComputeWeber(TECGF2Data& data);

  QPushButton* SecondButton() const override { return CancelBtn; }
  QPushButton* HelpButton() const override { return HelpBtn; }

 private:
  void FormCreate();
  void OKBtnClick();
  void CancelBtnClick();
  void KCheckBoxClick();
  bool EditKeyDown(QKeyEvent* event);  // NEdit, KEdit, LEdit, DEdit
  void DEditDblClick();
  void LSpinBtnUpClick();
  void LSpinBtnDownClick();
  void PRadioBtnClick(int index);

  bool Validate();
  bool Compute();
  void SetIdle();
  void SetBusy();
  void SetDone();
  void SetParamsEnabled(bool enabled);

  TECGF2Data* data_ = nullptr;

  QGroupBox* paramBox_;
  TClickLabel* NLabel;
  TSpinEdit* NEdit;
  TClickLabel* KLabel;
  TSpinEdit* KEdit;
  QCheckBox* KCheckBox;
  TClickLabel* LLabel;
  TSpinEdit* LEdit;
  TUpDownButton* LSpinBtn;
  TClickLabel* DLabel;
  TSpinEdit* DEdit;
  QGroupBox* precisionBox_;
  std::array<QRadioButton*, 5> PRadioBtn;
  QGroupBox* timesBox_;
  QLabel* DRLabel;
  QLabel* DXLabel;
  QLabel* WRLabel;
  QLabel* WXLabel;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* HelpBtn;
};

}  // namespace rara
