// TMainForm: the main window. It owns the construction record, offers the
// ten toolbar commands, shows the parameters report (page 1) and the curve
// report with its points (page 2), and keeps four flags saying whether
// parameters and a curve exist and whether each page has been saved.
#pragma once

#include <functional>
#include <memory>

#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMainWindow>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

#include "app/report_view.h"
#include "engine/construction.h"

namespace rara {

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int HelpTopic = 10;
  static constexpr const char* Caption = " Rara 1.2 - Zovozeri";

  // Runs a computing dialog on the record; true when it computed new results.
  using TDialogRun = std::function<bool(TECGF2Data&)>;

  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // The parameters and curve dialogs, created after the window.
  void SetDialogs(TDialogRun params, TDialogRun curve);

  TECGF2Data& Data() noexcept { return *data_; }
  bool HaveParams() const noexcept { return haveParams_; }
  bool ParamsSaved() const noexcept { return paramsSaved_; }
  bool HaveCurve() const noexcept { return haveCurve_; }
  bool CurveSaved() const noexcept { return curveSaved_; }

  // The help file: the program's own path with the extension ".hlp".
  const QString& HelpFile() const noexcept { return helpFile_; }
  // The status line's text (the long part of the current hint).
  QString StatusText() const;

  void UpdateCommands();
  void ClearAll();
  void ClearCurve();
  // Warning about unsaved results, ending in "\r\n"; empty when none is due.
  QString UnsavedText() const;

  // Page 1 or page 2 lit (enabled, window background) or greyed.
  void SetPageLit(int page, bool lit);
  bool PageLit(int page) const;

  // Asks for the file an export goes to; an empty name means cancelled. The
  // program asks with a file dialog; tests give the name directly.
  using TExportFileAsk = std::function<QString()>;
  void SetExportFileAsk(TExportFileAsk ask) { exportAsk_ = std::move(ask); }
  // The curve page's context menu: the editor's own entries, then
  // "Export parameters…" (enabled once a point exists). The caller owns it.
  QMenu* CreateEdit2Menu();
  bool CanExport() const;

  // Splits a two-part hint: the short part shows as a tool tip, the long
  // part in the status line; a hint without "|" serves as both.
  static QString ShortHint(const QString& hint);
  static QString LongHint(const QString& hint);

 public slots:
  void BookChange();
  void BtnExitClick();
  void BtnFormatClick();
  void BtnHelpClick();
  void BtnNewParamsClick();
  void BtnNewCurveClick();
  void BtnNewPointClick();
  void BtnSaveClick();
  void BtnPrintClick();
  void BtnCopyClick();
  void BtnClearClick();
  void Edit1SelectionChange();
  void Edit2SelectionChange();
  void ExportParamsClick();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormCreate();
  bool FormCloseQuery();
  void FormResize();
  void SetupControls();
  void SetupExportMenu();
  void SetHint(QWidget& control, const QString& hint);
  void Connect(QToolButton& button, void (TMainForm::*handler)());

  // Every command ends with UpdateCommands, also when an error passes.
  class TUpdateAtEnd {
   public:
    explicit TUpdateAtEnd(TMainForm& form) : form_(form) {}
    ~TUpdateAtEnd() { form_.UpdateCommands(); }
    TUpdateAtEnd(const TUpdateAtEnd&) = delete;
    TUpdateAtEnd& operator=(const TUpdateAtEnd&) = delete;

   private:
    TMainForm& form_;
  };

  void ShowParams();
  void ShowCurve();
  void ShowPoint();

  bool OnPage1() const;
  TReportView& CurrentEditor();
  // Runs a computing dialog with the window disabled.
  bool RunDialog(const TDialogRun& run);

  std::unique_ptr<TECGF2Data> data_;
  bool haveParams_ = false;
  bool paramsSaved_ = false;
  bool haveCurve_ = false;
  bool curveSaved_ = false;
  QString helpFile_;
  QString windowHint_;
  TDialogRun paramsDialog_;
  TDialogRun curveDialog_;
  TExportFileAsk exportAsk_;

  // Controls; Qt parents them in the window.
  QWidget client_;
  QFrame SpeedBar;
  QToolButton BtnExit;
  QToolButton BtnFormat;
  QToolButton BtnNewParams;
  QToolButton BtnNewCurve;
  QToolButton BtnNewPoint;
  QToolButton BtnSave;
  QToolButton BtnPrint;
  QToolButton BtnCopy;
  QToolButton BtnClear;
  QToolButton BtnHelp;
  QLabel FreeLabel;
  QTabWidget Book;
  QWidget TabSheet1;
  QWidget TabSheet2;
  TReportView Edit1;
  TReportView Edit2;
  QStatusBar StatusBar;
};

}  // namespace rara
