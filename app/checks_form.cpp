// The Checks window.
#include "app/checks_form.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/ui_services.h"
#include "engine/construction.h"
#include "engine/trust.h"

namespace rara {

TChecksForm::TChecksForm(QWidget* parent) : QWidget(parent, Qt::Window), text_(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("ChecksForm"));
  setWindowTitle(QStringLiteral("Checks"));
  text_->setObjectName(QStringLiteral("ChecksText"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* close = new QPushButton(QStringLiteral("&Close"), this);
  close->setObjectName(QStringLiteral("BtnClose"));
  auto* help = new QPushButton(QStringLiteral("&Help"), this);
  help->setObjectName(QStringLiteral("BtnHelp"));
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  connect(help, &QPushButton::clicked, this, [] { Ui().HelpTopic(HelpTopic); });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(help);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addLayout(buttons);
  resize(760, 420);
}

TChecksForm& TChecksForm::Of(QWidget* parent) {
  if (auto* f = parent->findChild<TChecksForm*>(QStringLiteral("ChecksForm"), Qt::FindDirectChildrenOnly))
    return *f;
  return *new TChecksForm(parent);  // owned by the parent
}

void TChecksForm::ShowChecks(TECGF2Data& data) {
  TTrustReport trust;
  {
    // The count and the searches take a moment on large fields.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct TRestore {
      ~TRestore() { QApplication::restoreOverrideCursor(); }
    } restore;
    CheckTrust(data, trust);
  }
  QString text = QStringLiteral("Curve over GF(2^%1)\n\n").arg(data.N);
  if (!trust.Proof.PointCount.empty())
    text += QStringLiteral("Point count #E = %1\n\n").arg(QString::fromStdString(trust.Proof.PointCount));
  for (const std::string& line : TrustLines(data, trust)) text += QString::fromStdString(line) + '\n';
  text_->setPlainText(text);
  show();
  raise();
  activateWindow();
}

void TChecksForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    Ui().HelpTopic(HelpTopic);
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace rara
