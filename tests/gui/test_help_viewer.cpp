// The help window: the built-in pages open by topic number and link to each
// other; a topic without a page still says something useful.
#include <QTextBrowser>

#include "app/help_viewer.h"
#include "tests/gui/gui_test_util.h"

namespace rara::test {
namespace {

TEST(HelpViewer, PagesOpenByTopicAndLinkToEachOther) {
  THelpViewer viewer;
  QTextBrowser* browser = viewer.Browser();
  EXPECT_TRUE(THelpViewer::HasTopic(0));
  EXPECT_TRUE(THelpViewer::HasTopic(100));
  EXPECT_TRUE(THelpViewer::HasTopic(200));

  viewer.ShowTopic(100);
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_EQ(browser->documentTitle(), "The parameters dialog");
  EXPECT_TRUE(browser->toPlainText().contains("Trial division bound"));

  viewer.ShowTopic(200);
  EXPECT_EQ(browser->documentTitle(), "The curve dialog");
  EXPECT_TRUE(browser->toPlainText().contains("[163,7,6,3,0]"));

  viewer.ShowContents();
  EXPECT_EQ(browser->documentTitle(), "Contents");
  // Relative links of the pages resolve inside the built-in pages.
  browser->setSource(QUrl("topic_200.html"));
  EXPECT_EQ(browser->documentTitle(), "The curve dialog");
  browser->backward();
  EXPECT_EQ(browser->documentTitle(), "Contents");

  viewer.ShowTopic(4711);
  EXPECT_TRUE(browser->toPlainText().contains("There is no help page for this topic."));
}

}  // namespace
}  // namespace rara::test
