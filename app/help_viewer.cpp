// The help window over the pages built into the program under :/help/.
#include "app/help_viewer.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace rara {

THelpViewer::THelpViewer(QWidget* parent)
    : QWidget(parent, Qt::Window),
      browser_(new QTextBrowser(this)),
      backBtn_(new QToolButton(this)),
      forwardBtn_(new QToolButton(this)),
      contentsBtn_(new QToolButton(this)) {
  setObjectName("HelpViewer");
  setWindowTitle("Zovozeri Help");
  // A secondary window: closing the main window ends the program even while
  // help is open, and the help window goes with it.
  setAttribute(Qt::WA_QuitOnClose, false);
  connect(qApp, &QCoreApplication::aboutToQuit, this, &QWidget::close);
  browser_->setObjectName("HelpBrowser");
  browser_->setOpenLinks(true);
  browser_->setOpenExternalLinks(true);
  browser_->setSearchPaths({":/help"});

  backBtn_->setObjectName("HelpBackBtn");
  backBtn_->setText("&Back");
  backBtn_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
  forwardBtn_->setObjectName("HelpForwardBtn");
  forwardBtn_->setText("&Forward");
  forwardBtn_->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
  contentsBtn_->setObjectName("HelpContentsBtn");
  contentsBtn_->setText("&Contents");
  contentsBtn_->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
  for (QToolButton* b : {backBtn_, forwardBtn_, contentsBtn_})
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  backBtn_->setEnabled(false);
  forwardBtn_->setEnabled(false);

  auto* bar = new QHBoxLayout;
  bar->addWidget(contentsBtn_);
  bar->addWidget(backBtn_);
  bar->addWidget(forwardBtn_);
  bar->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(browser_, 1);
  resize(640, 560);

  connect(backBtn_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
  connect(forwardBtn_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
  connect(contentsBtn_, &QToolButton::clicked, this, &THelpViewer::ShowContents);
  connect(browser_, &QTextBrowser::backwardAvailable, backBtn_, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forwardBtn_, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? "Zovozeri Help" : "Zovozeri Help - " + title);
  });
}

QUrl THelpViewer::TopicUrl(int topic) {
  if (topic == 0) return QUrl("qrc:/help/contents.html");
  return QUrl(QString("qrc:/help/topic_%1.html").arg(topic));
}

bool THelpViewer::HasTopic(int topic) {
  return QFile::exists(topic == 0 ? QString(":/help/contents.html")
                                  : QString(":/help/topic_%1.html").arg(topic));
}

void THelpViewer::ShowContents() { Open(TopicUrl(0)); }

void THelpViewer::ShowTopic(int topic) {
  if (HasTopic(topic)) {
    Open(TopicUrl(topic));
    return;
  }
  // A topic without a page still opens the window, with a way to the contents.
  browser_->setHtml(QString("<h2>Help topic %1</h2><p>There is no help page for this topic.</p>"
                            "<p><a href=\"qrc:/help/contents.html\">Contents</a></p>")
                        .arg(topic));
  show();
  raise();
  activateWindow();
}

void THelpViewer::Open(const QUrl& url) {
  browser_->setSource(url);
  show();
  raise();
  activateWindow();
}

}  // namespace rara
