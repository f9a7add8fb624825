#pragma once

#include <QDialog>
#include <QUrl>

class QTextBrowser;

namespace pelmar {

// The program's own help window: the bilingual help page in a text
// browser, so that help needs no web browser. Created once and reused.
class HelpWindow : public QDialog {
 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Shows the page at the url (a local file with the section's anchor)
  // and brings the window forward.
  void showPage(const QUrl& url);
  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

}  // namespace pelmar
