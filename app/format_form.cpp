// The display options dialog.
#include "app/format_form.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>

#include "app/app_errors.h"
#include "dialogs/painted_icon.h"
#include "dialogs/ui_services.h"
#include "reports/display_settings.h"

namespace rara {

TFormatForm::TFormatForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      PolyBox(QStringLiteral("&Polynomials over GF(2)"), this),
      P01RadioBtn(QStringLiteral("&Binary string"), &PolyBox),
      P16RadioBtn(QStringLiteral("He&xadecimal string"), &PolyBox),
      OrderCheckBox(QStringLiteral("&Reversed bit order with normal basis"), this),
      BtnOK(QStringLiteral("OK"), this),
      BtnCancel(QStringLiteral("Cancel"), this),
      BtnHelp(QStringLiteral("&Help"), this) {
  setObjectName(QStringLiteral("TFormatForm"));
  setWindowTitle(QStringLiteral(" Display options"));
  QFont dialogFont;
  // Arial's metrics keep the captions inside the fixed layout where the
  // first face is missing.
  dialogFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
  dialogFont.setStyleHint(QFont::SansSerif);
  dialogFont.setPixelSize(11);
  dialogFont.setBold(true);
  setFont(dialogFont);

  PolyBox.setObjectName(QStringLiteral("PolyBox"));
  P01RadioBtn.setObjectName(QStringLiteral("P01RadioBtn"));
  P16RadioBtn.setObjectName(QStringLiteral("P16RadioBtn"));
  OrderCheckBox.setObjectName(QStringLiteral("OrderCheckBox"));
  BtnOK.setObjectName(QStringLiteral("BtnOK"));
  BtnCancel.setObjectName(QStringLiteral("BtnCancel"));
  BtnHelp.setObjectName(QStringLiteral("BtnHelp"));

  const QIcon okIcon = style()->standardIcon(QStyle::SP_DialogOkButton);
  const QIcon cancelIcon = style()->standardIcon(QStyle::SP_DialogCancelButton);
  BtnOK.setIcon(okIcon);
  BtnCancel.setIcon(cancelIcon);
  BtnHelp.setIcon(HelpIcon());
  BtnOK.setDefault(true);

  // Fixed layout of 259 by 143 pixels of client area.
  setFixedSize(259, 143);
  PolyBox.setGeometry(8, 6, 243, 64);
  P01RadioBtn.setGeometry(12, 18, 220, 20);
  P16RadioBtn.setGeometry(12, 39, 220, 20);
  OrderCheckBox.setGeometry(10, 78, 247, 20);
  BtnOK.setGeometry(8, 108, 77, 27);
  BtnCancel.setGeometry(91, 108, 77, 27);
  BtnHelp.setGeometry(174, 108, 77, 27);

  connect(&P01RadioBtn, &QRadioButton::toggled, this, [this](bool on) {
    if (on) Guarded([this] { P01RadioBtnClick(); });
  });
  connect(&P16RadioBtn, &QRadioButton::toggled, this, [this](bool on) {
    if (on) Guarded([this] { P16RadioBtnClick(); });
  });
  connect(&OrderCheckBox, &QCheckBox::toggled, this, [this] { Guarded([this] { OrderCheckBoxClick(); }); });
  connect(&BtnOK, &QPushButton::clicked, this, [this] { Guarded([this] { BtnOKClick(); }); });
  connect(&BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(&BtnHelp, &QPushButton::clicked, this, [this] { Guarded([this] { BtnHelpClick(); }); });

  FormCreate();

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }
}

void TFormatForm::FormCreate() {
  const TDisplaySettings& settings = DisplaySettings();
  binary_ = settings.Binary;
  reversed_ = settings.Reversed;
  if (binary_)
    P01RadioBtn.setChecked(true);
  else
    P16RadioBtn.setChecked(true);
  OrderCheckBox.setChecked(reversed_);
}

void TFormatForm::P01RadioBtnClick() { binary_ = true; }

void TFormatForm::P16RadioBtnClick() { binary_ = false; }

void TFormatForm::OrderCheckBoxClick() { reversed_ = OrderCheckBox.isChecked(); }

void TFormatForm::BtnOKClick() {
  TDisplaySettings& settings = DisplaySettings();
  settings.Binary = binary_;
  settings.Reversed = reversed_;
  accept();
}

void TFormatForm::BtnHelpClick() { Ui().HelpTopic(HelpTopic); }

void TFormatForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    Guarded([this] { BtnHelpClick(); });
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace rara
