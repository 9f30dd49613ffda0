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
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <map>

#include "app/qt_ui_services.h"
#include "dialogs/curve_form.h"
#include "dialogs/param_form.h"
#include "reports/display_settings.h"
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
  // In points, as the screen shows the editor (13 pixels at 96 dpi): a
  // printer's pixels are far smaller than the screen's.
  EXPECT_EQ(ScriptedUi().PrintFont.pixelSize(), -1);
  EXPECT_NEAR(ScriptedUi().PrintFont.pointSizeF(), 10, 1);

  Click("BtnNewCurve");
  Click("BtnPrint");
  EXPECT_EQ(ScriptedUi().Printed, Edit(2).Lines());
  EXPECT_EQ(ScriptedUi().PrintFont.family(), "Courier New");  // page 2's editor is Arial
}

// Margins of the printed test page, points.
constexpr double PageMargin = 36;

// Accepts the printer dialog of the program's services with the PDF file as
// its output, on A4 paper with known margins.
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
    // The dialog has applied its own page settings; these come after them.
    dialog->printer()->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                                 QMarginsF(PageMargin, PageMargin, PageMargin, PageMargin),
                                                 QPageLayout::Point));
  });
}

// One word of `pdftotext -bbox`, in points from the page's top left corner.
struct TPdfWord {
  int page = 0;
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  QString text;
};

struct TPdfText {
  int pages = 0;
  double width = 0, height = 0;  // of the first page
  std::vector<TPdfWord> words;
};

TPdfText ReadPdfWords(const QString& pdf) {
  QProcess run;
  run.start("pdftotext", {"-bbox", pdf, "-"});
  EXPECT_TRUE(run.waitForFinished(30000));
  const QString html = QString::fromUtf8(run.readAllStandardOutput());
  static const QRegularExpression item(
      R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  TPdfText out;
  for (auto it = item.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    if (!m.captured(1).isEmpty()) {
      if (++out.pages == 1) {
        out.width = m.captured(1).toDouble();
        out.height = m.captured(2).toDouble();
      }
      continue;
    }
    out.words.push_back({out.pages, m.captured(3).toDouble(), m.captured(4).toDouble(), m.captured(5).toDouble(),
                         m.captured(6).toDouble(), m.captured(7)});
  }
  return out;
}

QString WithoutBlanks(QString s) {
  s.remove(QRegularExpression("\\s"));
  return s;
}

// The printed page as a reader sees it: the report in about 10 point type,
// every line there in order, lines wider than the paper wrapped under their
// own start, and pages filled to the bottom before the next one starts.
TEST_F(MainFormTest, PrintedPdfIsReadableAndHoldsEveryLine) {
  RARA_NEED_ORACLE(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "pdftotext");
  TScratchDir dir;
  DisplaySettings().Binary = true;  // binary field elements are wider than the paper
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

  const TPdfText text = ReadPdfWords(pdf);
  ASSERT_FALSE(text.words.empty());
  // Readable: glyph boxes of a 10 point face (ascent plus descent of the
  // monospaced face, a little over the size).
  const QRectF paper(PageMargin, PageMargin, text.width - 2 * PageMargin, text.height - 2 * PageMargin);
  for (const TPdfWord& w : text.words) {
    ASSERT_NEAR(w.yMax - w.yMin, 11.3, 1.5) << w.text.toStdString() << " on page " << w.page;
    // Nothing runs off the printable part of the paper.
    ASSERT_TRUE(paper.adjusted(-1, -1, 1, 1).contains(QRectF(QPointF(w.xMin, w.yMin), QPointF(w.xMax, w.yMax))))
        << w.text.toStdString() << " at " << w.xMin << "," << w.yMin << " on page " << w.page;
  }

  // Every line of the page, in order; a wrapped line is still all there.
  QString all;
  for (const TPdfWord& w : text.words) all += w.text;
  qsizetype at = 0;
  for (const QString& line : Edit(2).Lines()) {
    const QString bare = WithoutBlanks(line);
    if (bare.isEmpty()) continue;
    const qsizetype found = all.indexOf(bare, at);
    ASSERT_GE(found, 0) << "missing: " << line.toStdString();
    at = found + bare.size();
  }

  // Printed lines: words on one page at one height. Every printed line starts
  // at the same place, the continuations of wrapped lines included.
  std::map<std::pair<int, long>, double> lineStart;  // (page, top in 1/10 pt) -> left
  for (const TPdfWord& w : text.words) {
    const auto key = std::make_pair(w.page, std::lround(w.yMin * 10));
    auto [it, fresh] = lineStart.emplace(key, w.xMin);
    if (!fresh) it->second = std::min(it->second, w.xMin);
  }
  const double left = lineStart.begin()->second;
  for (const auto& [key, x] : lineStart) EXPECT_NEAR(x, left, 0.5) << "page " << key.first << " at " << key.second;
  // More printed lines than report lines with text: some were wrapped.
  const auto textLines = std::count_if(Edit(2).Lines().begin(), Edit(2).Lines().end(),
                                       [](const QString& l) { return !l.trimmed().isEmpty(); });
  EXPECT_GT(static_cast<qsizetype>(lineStart.size()), textLines) << "no line wide enough to wrap";

  // Pages: the printed lines (with words, plus the empty report lines) at
  // the line pitch, as many to a page as its printable height holds.
  double pitch = text.height;
  for (auto it = std::next(lineStart.begin()); it != lineStart.end(); ++it)
    if (it->first.first == std::prev(it)->first.first)
      pitch = std::min(pitch, (it->first.second - std::prev(it)->first.second) / 10.0);
  EXPECT_NEAR(pitch, 11.3, 1.5);
  const auto emptyLines = static_cast<qsizetype>(Edit(2).Lines().size()) - textLines;
  const auto printedLines = static_cast<qsizetype>(lineStart.size()) + emptyLines;
  const auto perPage = static_cast<qsizetype>(std::floor(paper.height() / pitch));
  EXPECT_GE(text.pages, 2);
  EXPECT_EQ(text.pages, (printedLines + perPage - 1) / perPage)
      << printedLines << " lines, " << perPage << " to a page";
  // Each page but the last is full: its lowest word is within two lines of
  // the bottom (the last line may be an empty one).
  std::map<int, double> lowest;
  for (const TPdfWord& w : text.words) lowest[w.page] = std::max(lowest[w.page], w.yMax);
  for (const auto& [page, y] : lowest) {
    if (page < text.pages) {
      EXPECT_GT(y, paper.bottom() - 2 * pitch) << "page " << page << " ends early";
    }
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
