#include "ui/dialogs/help_window.h"

#include <QTextBrowser>
#include <QVBoxLayout>

namespace pelmar {

HelpWindow::HelpWindow(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowCloseButtonHint), browser_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("HelpWindow"));
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  // Links to other sites open in the system's browser when there is one;
  // the help's own sections stay here.
  browser_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(640, 520);
}

void HelpWindow::showPage(const QUrl& url) {
  browser_->setSource(url);
  if (!url.fragment().isEmpty()) browser_->scrollToAnchor(url.fragment());
  setWindowTitle(browser_->documentTitle().isEmpty() ? QStringLiteral("Pelmar - Help")
                                                     : browser_->documentTitle());
  show();
  raise();
  activateWindow();
}

}  // namespace pelmar
