// The in-program help window: the built-in help pages (contents and one page
// per topic number) in a browser with links between them.
#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace rara {

class THelpViewer : public QWidget {
  Q_OBJECT
 public:
  explicit THelpViewer(QWidget* parent = nullptr);

  void ShowContents();
  void ShowTopic(int topic);

  // The page of a topic number, or of the contents for topic 0.
  static QUrl TopicUrl(int topic);
  static bool HasTopic(int topic);

  QTextBrowser* Browser() const { return browser_; }

 private:
  void Open(const QUrl& url);

  QTextBrowser* browser_;
  QToolButton* backBtn_;
  QToolButton* forwardBtn_;
  QToolButton* contentsBtn_;
};

}  // namespace rara
