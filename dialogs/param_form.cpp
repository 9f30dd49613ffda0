// The parameters dialog: entries with their checks and corrections, the two
// computing steps with their running times, and the dialog's own event loop.
#include "dialogs/param_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "dialogs/painted_icon.h"
#include "dialogs/ui_services.h"
#include "engine/construction.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "reports/validation.h"

namespace rara {

namespace {

QString Str(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

TSpinEdit* MakeEdit(const QString& name, int min, int max, std::string_view hint, QWidget* parent) {
  auto* edit = new TSpinEdit(parent);
  edit->setObjectName(name);
  edit->setRange(min, max);
  edit->setToolTip(Str(hint));
  edit->setMinimumWidth(96);
  return edit;
}

TClickLabel* MakeLabel(const QString& name, const QString& caption, QWidget* buddy,
                       QWidget* parent) {
  auto* label = new TClickLabel(caption, parent);
  label->setObjectName(name);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

TParamForm::TParamForm(QWidget* parent)
    : TComputingDialog(parent, 100, QStringLiteral("ParamForm"), QStringLiteral(" New Curve Parameters")) {

  paramBox_ = new QGroupBox("&Parameters", this);
  paramBox_->setObjectName("ParamBox");
  NEdit = MakeEdit("NEdit", MinFieldDegree, MaxFieldDegree, FieldDegreeHint, paramBox_);
  NLabel = MakeLabel("NLabel", "&Field degree", NEdit, paramBox_);
  KEdit = MakeEdit("KEdit", 2, 288, KMaxSizeHint(false), paramBox_);
  KLabel = MakeLabel("KLabel", "&K Max binary size", KEdit, paramBox_);
  KCheckBox = new QCheckBox("K mod &4 = 0", paramBox_);
  KCheckBox->setObjectName("KCheckBox");
  LEdit = MakeEdit("LEdit", MinTrialBound, MaxTrialBound, TrialBoundHint, paramBox_);
  // The bound moves between values 2^k - 1 through LSpinBtn, not by ones.
  LEdit->setButtonSymbols(QAbstractSpinBox::NoButtons);
  LLabel = MakeLabel("LLabel", "Trial division &bound", LEdit, paramBox_);
  LSpinBtn = new TUpDownButton("LSpinBtn", paramBox_);
  DEdit = MakeEdit("DEdit", 0, MaxDiscriminant, DiscriminantHint, paramBox_);
  DLabel = MakeLabel("DLabel", "CM &discriminant", DEdit, paramBox_);

  auto* grid = new QGridLayout(paramBox_);
  grid->setHorizontalSpacing(10);
  grid->addWidget(NLabel, 0, 0);
  grid->addWidget(NEdit, 0, 1);
  grid->addWidget(KLabel, 1, 0);
  grid->addWidget(KEdit, 1, 1);
  grid->addWidget(KCheckBox, 2, 1);
  grid->addWidget(LLabel, 3, 0);
  // The edit and its jump buttons together, as wide as the other spin edits.
  auto* boundRow = new QHBoxLayout;
  boundRow->setSpacing(0);
  boundRow->addWidget(LEdit, 1);
  boundRow->addWidget(LSpinBtn);
  LEdit->setMinimumWidth(78);
  LSpinBtn->setFixedHeight(LEdit->sizeHint().height());
  grid->addLayout(boundRow, 3, 1);
  grid->addWidget(DLabel, 4, 0);
  grid->addWidget(DEdit, 4, 1);
  grid->setColumnStretch(0, 1);

  precisionBox_ = new QGroupBox(Str(PrecisionRatioLabel), this);
  precisionBox_->setObjectName("PrecisionBox");
  auto* precisionLayout = new QVBoxLayout(precisionBox_);
  const char* ratioTexts[5] = {"0.75", "1.0", "1.25", "1.5", "1.75"};
  for (int i = 0; i < 5; ++i) {
    PRadioBtn[i] = new QRadioButton(ratioTexts[i], precisionBox_);
    PRadioBtn[i]->setObjectName(QString("PRadioBtn%1").arg(i + 1));
    precisionLayout->addWidget(PRadioBtn[i]);
    connect(PRadioBtn[i], &QRadioButton::clicked, this, [this, i] { PRadioBtnClick(i); });
  }
  PRadioBtn[1]->setChecked(true);
  precisionLayout->addStretch(1);

  timesBox_ = new QGroupBox("Running Times", this);
  timesBox_->setObjectName("TimesBox");
  DRLabel = new QLabel("CM discriminant", timesBox_);
  DRLabel->setObjectName("DRLabel");
  DXLabel = new QLabel("?", timesBox_);
  DXLabel->setObjectName("DXLabel");
  WRLabel = new QLabel("Weber polynomial modulo 2", timesBox_);
  WRLabel->setObjectName("WRLabel");
  WXLabel = new QLabel("?", timesBox_);
  WXLabel->setObjectName("WXLabel");
  auto* timesGrid = new QGridLayout(timesBox_);
  timesGrid->setHorizontalSpacing(16);
  timesGrid->addWidget(DRLabel, 0, 0);
  timesGrid->addWidget(DXLabel, 0, 1);
  timesGrid->addWidget(WRLabel, 1, 0);
  timesGrid->addWidget(WXLabel, 1, 1);
  timesGrid->setColumnMinimumWidth(1, 150);
  timesGrid->setColumnStretch(1, 1);

  OKBtn = new QPushButton("Run", this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(this);
  CancelBtn->setObjectName("CancelBtn");
  SetButtonKind(CancelBtn, TButtonKind::Cancel);
  HelpBtn = new QPushButton("&Help", this);
  HelpBtn->setObjectName("HelpBtn");
  HelpBtn->setIcon(HelpIcon());
  for (QPushButton* b : {OKBtn, CancelBtn, HelpBtn}) {
    b->setMinimumWidth(88);
    KeepPlaceWhenHidden(b);
  }

  auto* top = new QHBoxLayout;
  top->addWidget(paramBox_, 1);
  top->addWidget(precisionBox_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  buttons->addWidget(HelpBtn);
  auto* main = new QVBoxLayout(this);
  main->addLayout(top);
  main->addWidget(timesBox_);
  main->addLayout(buttons);
  main->setSizeConstraint(QLayout::SetFixedSize);

  connect(OKBtn, &QPushButton::clicked, this, &TParamForm::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &TParamForm::CancelBtnClick);
  connect(HelpBtn, &QPushButton::clicked, this, [] { Ui().HelpTopic(100); });
  connect(KCheckBox, &QCheckBox::clicked, this, &TParamForm::KCheckBoxClick);
  connect(NLabel, &TClickLabel::Clicked, this, [this] { NEdit->setFocus(); });
  connect(KLabel, &TClickLabel::Clicked, this, [this] { KEdit->setFocus(); });
  connect(LLabel, &TClickLabel::Clicked, this, [this] { LEdit->setFocus(); });
  connect(DLabel, &TClickLabel::Clicked, this, [this] { DEdit->setFocus(); });
  connect(LSpinBtn, &TUpDownButton::UpClicked, this, &TParamForm::LSpinBtnUpClick);
  connect(LSpinBtn, &TUpDownButton::DownClicked, this, &TParamForm::LSpinBtnDownClick);
  connect(DEdit, &TSpinEdit::DoubleClicked, this, &TParamForm::DEditDblClick);
  for (TSpinEdit* e : {NEdit, KEdit, LEdit, DEdit})
    e->KeyDown = [this](QKeyEvent* event) { return EditKeyDown(event); };

  FormCreate();
}

TParamForm::~TParamForm() = default;

void TParamForm::FormCreate() {
  Ratio = 1.0L;
  N = 64;
  NEdit->SetText(N);
  KMaxSize = 15;
  KEdit->SetText(KMaxSize);
  TrialBound = MinTrialBound;
  LEdit->SetText(TrialBound);
  D = 0;
  DEdit->SetText(D);
}

QString TParamForm::SearchGaveUpText() {
  return "No discriminant found up to 2^29";
}

// ---- Execute and its states ----

bool TParamForm::Execute(TECGF2Data& data) {
  data_ = &data;
  // The dialog goes away on every exit, also when an error passes through.
  struct THideGuard {
    TParamForm* form;
    ~THideGuard() { form->hide(); }
  } hideGuard{this};
  for (;;) {
    data.Clear();
    D = 0;
    DEdit->SetText(0);
    DXLabel->setText("?");
    WXLabel->setText("?");
    SetIdle();
    if (!isVisible()) {
      show();
      CentreOnScreen(this);
    }
    raise();
    activateWindow();
    OKBtn->setFocus();
    WaitUntil(Cancelled, Go);
    if (Cancelled) return false;
    if (Compute()) break;
  }
  SetDone();
  Ui().Beep();
  LastD = data.D;
  const bool never = false;
  WaitUntil(Go, never);
  return true;
}

void TParamForm::SetParamsEnabled(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{NLabel, NEdit, KLabel, KEdit, KCheckBox, LLabel,
                                                    LEdit, LSpinBtn, DLabel, DEdit})
    w->setEnabled(enabled);
  for (QRadioButton* r : PRadioBtn) r->setEnabled(enabled);
}

void TParamForm::SetIdle() {
  Go = false;
  Cancelled = false;
  SetParamsEnabled(true);
  SetDialogButtons(OKBtn, CancelBtn, HelpBtn, TDialogPhase::Ready);
}

void TParamForm::SetBusy() {
  Cancelled = false;
  SetParamsEnabled(false);
  SetDialogButtons(OKBtn, CancelBtn, HelpBtn, TDialogPhase::Running);
}

void TParamForm::SetDone() {
  Go = false;
  Cancelled = true;
  SetDialogButtons(OKBtn, CancelBtn, HelpBtn, TDialogPhase::Finished);
}

// ---- Computing ----

void TParamForm::ComputeSearch(TECGF2Data& data) {
  data.ComputeParams(N, D, KMaxSize, TrialBound, KMod4, Progress);
}

void TParamForm::ComputeWeber(TECGF2Data& data) { data.ComputeWeberPoly(Progress, Ratio); }

bool TParamForm::Compute() {
  TECGF2Data& data = *data_;
  SetBusy();
  enum class TOutcome { Done, GaveUp, Inconsistent } outcome = TOutcome::Done;
  try {
    const TRunScope run(this);

    StartTiming(DXLabel, true, &Progress);
    ComputeSearch(data);
    StopTiming();
    if (data.SearchGaveUp()) {
      outcome = TOutcome::GaveUp;
    } else {
      StartTiming(WXLabel, data.ClassNumber >= 256, &Progress);
      ComputeWeber(data);
      StopTiming();
      if (!WeberPolyConsistent(data)) outcome = TOutcome::Inconsistent;
    }
  } catch (const ERuvAbort&) {
    return false;
  }
  // The boxes come after the break mechanism is off again.
  switch (outcome) {
    case TOutcome::Done: return true;
    case TOutcome::GaveUp:
      Ui().Beep();
      Ui().Error(SearchGaveUpText());
      return false;
    case TOutcome::Inconsistent:
      Ui().Beep();
      Ui().Error(Str(WeberFailedMessage));
      return false;
  }
  return false;
}

// ---- Checking the entries ----

bool TParamForm::Validate() {
  if (Cancelled) return true;
  bool ok = true;
  // Reads an edit; text that is no integer fails and gets the previous value back.
  auto read = [&ok](TSpinEdit* edit, std::int32_t& value) {
    std::int32_t v = 0;
    if (ReadIntEntry(edit->Text().toStdString(), v)) {
      value = v;
    } else {
      ok = false;
      edit->SetText(value);
      edit->setFocus();
    }
  };
  auto refuse = [](TSpinEdit* edit) {
    Ui().Beep();
    edit->setFocus();
    return false;
  };

  read(NEdit, N);
  if (N > MaxFieldDegree || N < MinFieldDegree) return refuse(NEdit);

  read(KEdit, KMaxSize);
  if (KMaxSize > KMaxSizeLimit(N)) {
    KMaxSize = KMaxSizeLimit(N);
    KEdit->SetText(KMaxSize);
    return refuse(KEdit);
  }
  if (KMaxSize < KMaxSizeMin(KMod4)) {
    KMaxSize = KMaxSizeMin(KMod4);
    KEdit->SetText(KMaxSize);
    return refuse(KEdit);
  }

  read(LEdit, TrialBound);
  TrialBound = CorrectTrialBound(TrialBound, KMaxSize);
  LEdit->SetText(TrialBound);

  read(DEdit, D);
  if (D > MaxDiscriminant || D < 0) {
    // Below 0 as above the maximum: the search is only defined from 0 up.
    D = D < 0 ? 0 : MaxDiscriminant;
    DEdit->SetText(D);
    ok = refuse(DEdit);
  }
  return ok;
}

// ---- Handlers ----

void TParamForm::OKBtnClick() {
  if (Cancelled || Validate()) Go = true;
}

void TParamForm::CancelBtnClick() {
  Cancelled = true;
  Go = true;
  RuvRequestAbort();
}

bool TParamForm::EditKeyDown(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (Validate()) Go = true;
    return true;
  }
  if (event->key() == Qt::Key_Escape) {
    Cancelled = true;
    return true;
  }
  return false;
}

void TParamForm::KCheckBoxClick() {
  KMod4 = KCheckBox->isChecked();
  KEdit->setMinimum(KMaxSizeMin(KMod4));
  KEdit->setToolTip(Str(KMaxSizeHint(KMod4)));
  std::int32_t v = 0;
  if (KMod4 && ReadIntEntry(KEdit->Text().toStdString(), v) && v <= 2) {
    KMaxSize = 3;
    KEdit->SetText(KMaxSize);
  }
}

void TParamForm::DEditDblClick() {
  D = LastD;
  DEdit->SetText(D);
}

void TParamForm::LSpinBtnUpClick() {
  std::int32_t v = 0;
  if (ReadIntEntry(LEdit->Text().toStdString(), v)) TrialBound = v;
  TrialBound = TrialBoundUp(TrialBound);
  LEdit->SetText(TrialBound);
  LEdit->setFocus();
}

void TParamForm::LSpinBtnDownClick() {
  std::int32_t v = 0;
  if (ReadIntEntry(LEdit->Text().toStdString(), v)) TrialBound = v;
  TrialBound = TrialBoundDown(TrialBound);
  LEdit->SetText(TrialBound);
  LEdit->setFocus();
}

void TParamForm::PRadioBtnClick(int index) { Ratio = PrecisionRatios[index]; }


}  // namespace rara
