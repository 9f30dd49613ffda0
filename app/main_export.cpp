// Export of the curve with the last point as generator, from the context menu
// of the curve page: X9.62 parameters (PEM or DER) or JSON, by the extension.
#include <QFileDialog>
#include <QMenu>

#include "app/app_errors.h"
#include "app/checks_form.h"
#include "app/main_form.h"
#include "dialogs/ui_services.h"
#include "engine/export_file.h"
#include "gf2/field_poly_lists.h"
#include "integers/errors.h"

namespace rara {

namespace {

const QString ExportCaption = QStringLiteral("Export parameters\u2026");

// The built-in list the field polynomial comes from, or "typed".
std::string FieldListName(const TECGF2Data& data) {
  const int n = data.N;
  TGF2Poly p;
  if (n >= FieldListMinDegree && n <= FieldListMaxDegree) {
    GetP1363Irreducible(p, n);
    if (GF2Equal(p, data.FieldPoly)) return "p1363";
    if (n >= X963MinDegree) {
      GetX963Irreducible(p, n);
      if (GF2Equal(p, data.FieldPoly)) return "x963";
    }
    GetNormal(p, n);
    if (GF2Equal(p, data.FieldPoly)) return "normal";
    const std::string gauss = GaussNormalText(n);
    if (!gauss.empty()) {
      static const char digits[] = "0123456789abcdef";
      std::string hex;
      for (int i = data.FieldPoly.Degree() / 4; i >= 0; --i) {
        int v = 0;
        for (int b = 3; b >= 0; --b) v = 2 * v + (data.FieldPoly.Coef(4 * i + b) ? 1 : 0);
        hex += digits[v];
      }
      if (hex == gauss) return "gauss";
    }
  }
  return "typed";
}

QString AskWithDialog(QWidget* parent) {
  return QFileDialog::getSaveFileName(parent, ExportCaption.chopped(1), QString(),
                                      QStringLiteral("X9.62 parameters, PEM (*.pem);;"
                                                     "X9.62 parameters, DER (*.der);;"
                                                     "JSON curve description (*.json)"));
}

}  // namespace

void TMainForm::SetupExportMenu() {
  Edit2.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&Edit2, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    Guarded([this, pos] {
      std::unique_ptr<QMenu> menu(CreateEdit2Menu());
      menu->exec(Edit2.viewport()->mapToGlobal(pos));
    });
  });
}

bool TMainForm::CanExport() const { return haveCurve_ && data_->CurveBuilt && !data_->Point.IsZero(); }

QMenu* TMainForm::CreateEdit2Menu() {
  QMenu* menu = Edit2.createStandardContextMenu();
  menu->addSeparator();
  QAction* action = menu->addAction(ExportCaption);
  action->setObjectName(QStringLiteral("ExportParamsItem"));
  action->setEnabled(CanExport());
  connect(action, &QAction::triggered, this, [this] { Guarded([this] { ExportParamsClick(); }); });
  // The order proof, the point count and the verdicts of the current curve.
  QAction* checks = menu->addAction(QStringLiteral("Checks\u2026"));
  checks->setObjectName(QStringLiteral("ChecksItem"));
  checks->setEnabled(haveCurve_ && data_->CurveBuilt);
  connect(checks, &QAction::triggered, this,
          [this] { Guarded([this] { TChecksForm::Of(this).ShowChecks(*data_); }); });
  return menu;
}

void TMainForm::ExportParamsClick() {
  if (!CanExport()) return;
  const QString name = exportAsk_ ? exportAsk_() : AskWithDialog(this);
  if (name.isEmpty()) return;
  TExportFormat format;
  const std::string file = name.toStdString();
  if (!ExportFormatOf(file, format)) {
    Ui().Error(QStringLiteral("Choose a file name ending in .pem, .der or .json:\r\n") + name);
    return;
  }
  TExportInfo info;
  info.FieldList = FieldListName(*data_);
  try {
    ExportCurve(*data_, file, info);
  } catch (const ERuv& e) {
    Ui().Error(QString::fromStdString(e.what()));
  }
}

}  // namespace rara
