// The curve page's "Export parameters…" entry.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include "tests/gui/main_form_fixture.h"

namespace rara::test {
namespace {

QAction* ExportItem(QMenu& menu) { return menu.findChild<QAction*>(QStringLiteral("ExportParamsItem")); }

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(MainFormTest, ExportNeedsAPoint) {
  std::unique_ptr<QMenu> menu(form->CreateEdit2Menu());
  ASSERT_NE(ExportItem(*menu), nullptr);
  EXPECT_EQ(ExportItem(*menu)->text(), QStringLiteral("Export parameters\u2026"));
  EXPECT_FALSE(ExportItem(*menu)->isEnabled());
  Click("BtnNewParams");
  Click("BtnNewCurve");
  menu.reset(form->CreateEdit2Menu());
  EXPECT_FALSE(ExportItem(*menu)->isEnabled());  // a curve, but no point yet
  Click("BtnNewPoint");
  menu.reset(form->CreateEdit2Menu());
  EXPECT_TRUE(ExportItem(*menu)->isEnabled());
}

TEST_F(MainFormTest, ExportWritesTheFormatOfTheExtension) {
  Click("BtnNewParams");
  Click("BtnNewCurve");
  Click("BtnNewPoint");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QString target;
  form->SetExportFileAsk([&target] { return target; });

  target = dir.filePath(QStringLiteral("curve.pem"));
  form->ExportParamsClick();
  EXPECT_TRUE(ReadAll(target).startsWith("-----BEGIN EC PARAMETERS-----"));

  target = dir.filePath(QStringLiteral("curve.DER"));
  form->ExportParamsClick();
  const QByteArray der = ReadAll(target);
  ASSERT_FALSE(der.isEmpty());
  EXPECT_EQ(static_cast<unsigned char>(der[0]), 0x30);  // a DER SEQUENCE

  target = dir.filePath(QStringLiteral("curve.json"));
  form->ExportParamsClick();
  const QByteArray json = ReadAll(target);
  EXPECT_TRUE(json.contains("\"order\""));
  EXPECT_TRUE(json.contains("\"p1363\""));  // the field polynomial's list
  EXPECT_TRUE(ScriptedUi().Errors.isEmpty());

  // Another extension is refused with a message; a cancelled dialog does nothing.
  target = dir.filePath(QStringLiteral("curve.txt"));
  form->ExportParamsClick();
  ASSERT_EQ(ScriptedUi().Errors.size(), 1);
  EXPECT_TRUE(ScriptedUi().Errors[0].contains(QStringLiteral(".pem, .der or .json")));
  EXPECT_FALSE(QFile::exists(target));
  target.clear();
  form->ExportParamsClick();
  EXPECT_EQ(ScriptedUi().Errors.size(), 1);

  // A file that cannot be written is reported, not left half-written.
  target = dir.filePath(QStringLiteral("missing/curve.pem"));
  form->ExportParamsClick();
  EXPECT_EQ(ScriptedUi().Errors.size(), 2);
  EXPECT_FALSE(QFile::exists(target));
}

}  // namespace
}  // namespace rara::test
