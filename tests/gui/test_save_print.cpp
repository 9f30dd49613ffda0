// Save, Print and a whole session with the real dialogs: records appended
// byte for byte, a save that cannot write, printing to a PDF file read back
// with pdftotext, and New parameters, curve, points, Save and Clear in turn.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <ctime>

#include "app/qt_ui_services.h"
#include "dialogs/curve_form.h"
#include "dialogs/param_form.h"
#include "reports/save_record.h"
#include "tests/gui/gui_test_util.h"
#include "tests/gui/main_form_fixture.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

// Runs the test in a scratch working directory.
class TScratchDir {
 public:
  TScratchDir() : old_(QDir::currentPath()) { EXPECT_TRUE(QDir::setCurrent(dir_.path())); }
  ~TScratchDir() { QDir::setCurrent(old_); }
  QString File(const QString& name) const { return dir_.filePath(name); }
  QByteArray Read(const QString& name = "rara.txt") const {
    QFile f(File(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

 private:
  QTemporaryDir dir_;
  QString old_;
};

std::vector<std::string> ToStd(const QStringList& lines) {
  std::vector<std::string> out;
  for (const QString& l : lines) out.push_back(l.toStdString());
  return out;
}

// The date-time texts of the records, in file order.
QStringList HeaderStamps(const QByteArray& file, QStringList* pages = nullptr) {
  static const QRegularExpression header("\r\n\r\n>>> (PARAMETERS|CURVE) (.+) <<<\r\n");
  QStringList stamps;
  for (auto it = header.globalMatch(QString::fromUtf8(file)); it.hasNext();) {
    const auto m = it.next();
    if (pages) *pages << m.captured(1);
    stamps << m.captured(2);
  }
  return stamps;
}

// True when the stamp is the date-time text of a moment in [from, to].
bool StampWithin(const QString& stamp, std::time_t from, std::time_t to) {
  for (std::time_t t = from; t <= to; ++t)
    if (QString::fromStdString(SaveDateTimeText(t)) == stamp) return true;
  return false;
}

TEST_F(MainFormTest, SaveAppendsWholeRecordsByteForByte) {
  TScratchDir dir;
  const std::time_t from = std::time(nullptr);
  Click("BtnNewParams");
  Click("BtnSave");
  EXPECT_EQ(ScriptedUi().Informations, QStringList{"Editor saved to \"rara.txt\" file"});
  EXPECT_TRUE(form->ParamsSaved());
  EXPECT_FALSE(Enabled("BtnSave"));
  const QStringList page1 = Edit(1).Lines();

  Click("BtnNewCurve");
  Click("BtnNewPoint");
  Click("BtnSave");
  EXPECT_TRUE(form->CurveSaved());
  EXPECT_FALSE(Enabled("BtnSave"));
  Click("BtnNewPoint");  // the page changed: savable again, and saved whole
  EXPECT_TRUE(Enabled("BtnSave"));
  EXPECT_FALSE(form->CurveSaved());
  const QStringList pageWithOnePoint = Edit(2).Lines().mid(0, Edit(2).LineCount() - 5);
  Click("BtnSave");
  const QStringList page2 = Edit(2).Lines();
  const std::time_t to = std::time(nullptr);

  const QByteArray file = dir.Read();
  ASSERT_TRUE(file.startsWith("\r\n\r\n>>> PARAMETERS "));
  QStringList pages;
  const QStringList stamps = HeaderStamps(file, &pages);
  ASSERT_EQ(pages, (QStringList{"PARAMETERS", "CURVE", "CURVE"}));
  for (const QString& s : stamps) EXPECT_TRUE(StampWithin(s, from, to)) << s.toStdString();
  const std::string expected =
      SaveRecordText(TSavePage::Parameters, stamps[0].toStdString(), ToStd(page1)) +
      SaveRecordText(TSavePage::Curve, stamps[1].toStdString(), ToStd(pageWithOnePoint)) +
      SaveRecordText(TSavePage::Curve, stamps[2].toStdString(), ToStd(page2));
  EXPECT_EQ(file.toStdString(), expected);
  EXPECT_FALSE(file.contains("\n\n"));  // every line ends in CR LF
  EXPECT_EQ(ScriptedUi().Informations.size(), 3);
  EXPECT_TRUE(ScriptedUi().Errors.isEmpty());
}

TEST_F(MainFormTest, SaveThatCannotOpenTheFileReportsItAndStaysUnsaved) {
  TScratchDir dir;
  ASSERT_TRUE(QDir().mkdir(dir.File("rara.txt")));  // not a file: cannot be opened for appending
  Click("BtnNewParams");
  Click("BtnSave");
  ASSERT_EQ(ScriptedUi().Errors.size(), 1);
  EXPECT_TRUE(ScriptedUi().Errors[0].startsWith("Editor not saved to \"rara.txt\" file\r\nrara.txt: "))
      << ScriptedUi().Errors[0].toStdString();
  EXPECT_TRUE(ScriptedUi().Informations.isEmpty());
  EXPECT_FALSE(form->ParamsSaved());
  EXPECT_TRUE(Enabled("BtnSave"));
  EXPECT_EQ(form->UnsavedText(), "Current parameters not saved.\r\n");
}

TEST_F(MainFormTest, SaveThatCannotWriteLeavesTheFileAsItWas) {
  TScratchDir dir;
  const QByteArray before = "\r\n\r\n>>> PARAMETERS earlier <<<\r\nline\r\n";
  {
    QFile f(dir.File("rara.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(before);
  }
  Click("BtnNewParams");
  // A file size limit just above the present size makes the write fail half-way,
  // even for a user whom permissions do not stop.
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = static_cast<rlim_t>(before.size() + 20);
  auto* oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  Click("BtnSave");
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);

  ASSERT_EQ(ScriptedUi().Errors.size(), 1);
  EXPECT_TRUE(ScriptedUi().Errors[0].startsWith("Editor not saved to \"rara.txt\" file\r\n"));
  EXPECT_TRUE(ScriptedUi().Informations.isEmpty());
  EXPECT_FALSE(form->ParamsSaved());
  EXPECT_EQ(dir.Read(), before);

  Click("BtnSave");  // with room again the same page saves
  EXPECT_TRUE(form->ParamsSaved());
  EXPECT_TRUE(dir.Read().startsWith(before + "\r\n\r\n>>> PARAMETERS "));
}

TEST_F(MainFormTest, PrintSendsTheEditorLinesInCourierNew) {
  Click("BtnNewParams");
  ScriptedUi().PrintAccepted = false;  // cancelled printer dialog
  Click("BtnPrint");
  EXPECT_EQ(ScriptedUi().PrintJobs, 0);
  EXPECT_EQ(Commands(), "00101111");

  ScriptedUi().PrintAccepted = true;
  Click("BtnPrint");
  EXPECT_EQ(ScriptedUi().PrintJobs, 1);
  EXPECT_EQ(ScriptedUi().Printed, Edit(1).Lines());
  EXPECT_EQ(ScriptedUi().PrintFont.family(), "Courier New");
  EXPECT_EQ(ScriptedUi().PrintFont.pixelSize(), 13);

  Click("BtnNewCurve");
  Click("BtnPrint");
  EXPECT_EQ(ScriptedUi().Printed, Edit(2).Lines());
  EXPECT_EQ(ScriptedUi().PrintFont.family(), "Courier New");  // page 2's editor is Arial
}

// Accepts the printer dialog of the program's services with the PDF file as
// its output.
void AcceptPrintDialogInto(const QString& pdf) {
  QTimer::singleShot(0, [pdf] {
    auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    if (auto* printers = dialog->findChild<QComboBox*>("printers")) {
      const int file = printers->count() - 1;  // "Print to File (PDF)" comes last
      printers->setCurrentIndex(file);
    }
    if (auto* name = dialog->findChild<QLineEdit*>("filename")) name->setText(pdf);
    dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
    dialog->printer()->setOutputFileName(pdf);
    dialog->accept();
  });
}

TEST_F(MainFormTest, PrintedPdfHoldsEveryLineOfThePage) {
  RARA_NEED_ORACLE(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "pdftotext");
  TScratchDir dir;
  Click("BtnNewParams");
  Click("BtnNewCurve");
  for (int i = 0; i < 12; ++i) Click("BtnNewPoint");  // more than one page

  TQtUiServices services;
  SetUi(&services);
  const QString pdf = dir.File("page2.pdf");
  AcceptPrintDialogInto(pdf);
  Click("BtnPrint");
  SetUi(&ScriptedUi());
  ASSERT_TRUE(QFile::exists(pdf));

  QProcess text;
  text.start("pdftotext", {"-layout", pdf, "-"});
  ASSERT_TRUE(text.waitForFinished(30000));
  const QString out = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_GE(out.count(QChar('\f')), 1) << "one page only";
  // Every non-empty line of the page appears, in order.
  qsizetype at = 0;
  for (const QString& line : Edit(2).Lines()) {
    const QString simple = line.simplified();
    if (simple.isEmpty()) continue;
    const qsizetype found = out.indexOf(simple, at);
    ASSERT_GE(found, 0) << "missing: " << line.toStdString();
    at = found + simple.size();
  }
}

TEST_F(MainFormTest, WholeSessionWithTheRealDialogs) {
  TScratchDir dir;
  TParamForm params;
  TCurveForm curves;
  form->SetDialogs([&](TECGF2Data& d) { return params.Execute(d); },
                   [&](TECGF2Data& d) { return curves.Execute(d); });

  // New parameters with the defaults (N = 64): Run, then acknowledge.
  auto* pOK = Find<QPushButton>(&params, "OKBtn");
  auto* pCancel = Find<QPushButton>(&params, "CancelBtn");
  TScript p(&params);
  p.Then([&] { return params.isVisible() && pOK->isVisible() && pOK->isEnabled(); }, [&] { test::Click(pOK); })
      .Then([&] { return pCancel->text() == "OK"; }, [&] { test::Click(pCancel); });
  p.Start();
  Click("BtnNewParams");
  ASSERT_TRUE(p.Finished());
  ASSERT_TRUE(form->HaveParams());
  EXPECT_EQ(form->Data().N, 64);
  EXPECT_TRUE(Edit(1).Lines().contains("Field degree    = 64"));
  EXPECT_EQ(Commands(), "00101111");

  // New curve on x^64 + x^4 + x^3 + x + 1 in the standard basis.
  auto* cOK = Find<QPushButton>(&curves, "OKBtn");
  auto* cCancel = Find<QPushButton>(&curves, "CancelBtn");
  auto* fp = Find<QPlainTextEdit>(&curves, "FPEdit");
  TScript c(&curves);
  c.Then([&] { return curves.isVisible() && cOK->isVisible() && cOK->isEnabled(); },
         [&] {
           fp->setPlainText("[64,4,3,1,0]");
           test::Click(cOK);
         })
      .Then([&] { return cCancel->text() == "OK"; }, [&] { test::Click(cCancel); });
  c.Start();
  Click("BtnNewCurve");
  ASSERT_TRUE(c.Finished());
  ASSERT_TRUE(form->HaveCurve());
  EXPECT_EQ(Book().currentIndex(), 1);
  EXPECT_TRUE(Edit(2).Lines().contains("Field polynomial = [64,4,3,1,0]"));

  for (int i = 0; i < 3; ++i) Click("BtnNewPoint");
  EXPECT_EQ(Edit(2).Lines().filter("Random point of order R").size(), 3);
  EXPECT_EQ(Commands(), "00011101");

  GoToPage(1);
  Click("BtnSave");
  GoToPage(2);
  Click("BtnSave");
  QStringList pages;
  HeaderStamps(dir.Read(), &pages);
  EXPECT_EQ(pages, (QStringList{"PARAMETERS", "CURVE"}));
  EXPECT_EQ(form->UnsavedText(), "");

  Click("BtnClear");  // saved curve: no question
  EXPECT_FALSE(form->HaveCurve());
  EXPECT_EQ(Commands(), "00100010");
  GoToPage(1);
  Click("BtnClear");
  EXPECT_FALSE(form->HaveParams());
  EXPECT_TRUE(ScriptedUi().Confirms.isEmpty());
  EXPECT_TRUE(ScriptedUi().Errors.isEmpty());
  EXPECT_EQ(Commands(), "01000010");
}

}  // namespace
}  // namespace rara::test
