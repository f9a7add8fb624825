#include "ui/dialogs/help_window.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace pelmar {
namespace {

constexpr int kAnchorRole = Qt::UserRole;

// The position of the anchor in the document; -1 when it has none.
int anchorPosition(const QTextDocument& document, const QString& anchor) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      if (it.fragment().charFormat().anchorNames().contains(anchor))
        return it.fragment().position();
    }
  }
  return -1;
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint),
      browser_(new QTextBrowser(this)),
      contents_(new QTreeWidget(this)),
      search_(new QLineEdit(this)),
      noMatch_(new QLabel(this)) {
  setObjectName(QStringLiteral("HelpWindow"));
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  contents_->setObjectName(QStringLiteral("HelpContents"));
  search_->setObjectName(QStringLiteral("HelpSearch"));
  search_->setClearButtonEnabled(true);
  noMatch_->setWordWrap(true);
  noMatch_->hide();
  contents_->setColumnCount(1);
  contents_->header()->setSectionResizeMode(QHeaderView::Stretch);
  // Links to other sites open in the system's browser when there is one;
  // the manual's own links stay here.
  browser_->setOpenExternalLinks(true);

  auto* side = new QWidget(this);
  auto* sideLayout = new QVBoxLayout(side);
  sideLayout->setContentsMargins(4, 4, 0, 4);
  sideLayout->addWidget(search_);
  sideLayout->addWidget(noMatch_);
  sideLayout->addWidget(contents_);
  auto* splitter = new QSplitter(this);
  splitter->addWidget(side);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({270, 590});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);
  resize(860, 600);

  connect(contents_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { goTo(item->data(0, kAnchorRole).toString()); });
  connect(contents_, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { goTo(item->data(0, kAnchorRole).toString()); });
  connect(search_, &QLineEdit::textChanged, this, [this] { filter(); });
  connect(search_, &QLineEdit::returnPressed, this, [this] { showFirstMatch(); });

  // The keys scroll the manual wherever the focus is in the window.
  const auto scrollKey = [this](const QKeySequence& key, QAbstractSlider::SliderAction action) {
    auto* shortcut = new QShortcut(key, this);
    connect(shortcut, &QShortcut::activated, this,
            [this, action] { browser_->verticalScrollBar()->triggerAction(action); });
  };
  scrollKey(QKeySequence(Qt::Key_PageUp), QAbstractSlider::SliderPageStepSub);
  scrollKey(QKeySequence(Qt::Key_PageDown), QAbstractSlider::SliderPageStepAdd);
  scrollKey(QKeySequence(Qt::CTRL | Qt::Key_Home), QAbstractSlider::SliderToMinimum);
  scrollKey(QKeySequence(Qt::CTRL | Qt::Key_End), QAbstractSlider::SliderToMaximum);
}

bool HelpWindow::showTopic(const QString& manualFile, const QString& anchor,
                           const Language& language) {
  if (!load(manualFile)) return false;
  setTexts(language);
  goTo(anchor);
  show();
  raise();
  activateWindow();
  browser_->setFocus();
  return true;
}

bool HelpWindow::load(const QString& manualFile) {
  const QString file = QFileInfo(manualFile).absoluteFilePath();
  if (file == file_ && manual_) return true;
  manual_ = HelpManual::Read(file);
  if (!manual_) return false;
  file_ = file;
  browser_->setSource(QUrl::fromLocalFile(file));
  contents_->clear();
  QTreeWidgetItem* topic = nullptr;
  for (const HelpTopic& t : manual_->topics()) {
    auto* item = t.level > 2 && topic ? new QTreeWidgetItem(topic) : new QTreeWidgetItem(contents_);
    if (t.level <= 2) topic = item;
    item->setText(0, t.title);
    item->setData(0, kAnchorRole, t.anchor);
  }
  contents_->expandAll();
  // Wide enough for the longest title, so that none is cut short.
  const QAbstractItemView* view = contents_;
  contents_->setMinimumWidth(view->sizeHintForColumn(0) + 2 * contents_->frameWidth() +
                             contents_->verticalScrollBar()->sizeHint().width());
  filter();
  return true;
}

void HelpWindow::setTexts(const Language& language) {
  setWindowTitle(language.text(TextId::HelpTitle));
  contents_->setHeaderLabel(language.text(TextId::HelpContents));
  search_->setPlaceholderText(language.text(TextId::HelpSearch));
  noMatchText_ = language.text(TextId::HelpNoMatch);
  filter();
}

void HelpWindow::goTo(const QString& anchor) {
  anchor_ = anchor;
  browser_->scrollToAnchor(anchor);
  // The contents follow: the topic shown is the current one.
  for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
    if ((*it)->data(0, kAnchorRole).toString() == anchor) {
      contents_->setCurrentItem(*it);
      break;
    }
  }
}

void HelpWindow::filter() {
  if (!manual_) return;
  const QString query = search_->text();
  const std::vector<int> found = manual_->Search(query);
  QStringList anchors;
  for (int index : found) anchors << manual_->topics()[index].anchor;
  // A topic stays visible when it or one of its parts holds the words.
  for (int i = 0; i < contents_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* topic = contents_->topLevelItem(i);
    bool partShown = false;
    for (int j = 0; j < topic->childCount(); ++j) {
      QTreeWidgetItem* part = topic->child(j);
      const bool shown =
          query.trimmed().isEmpty() || anchors.contains(part->data(0, kAnchorRole).toString());
      part->setHidden(!shown);
      partShown = partShown || shown;
    }
    topic->setHidden(!partShown && !query.trimmed().isEmpty() &&
                     !anchors.contains(topic->data(0, kAnchorRole).toString()));
  }
  const bool none = !query.trimmed().isEmpty() && found.empty();
  if (none) noMatch_->setText(noMatchText_.arg(query.trimmed()));
  noMatch_->setVisible(none);
}

void HelpWindow::showFirstMatch() {
  if (!manual_) return;
  const std::vector<int> found = manual_->Search(search_->text());
  if (found.empty()) return;
  const QString anchor = manual_->topics()[found.front()].anchor;
  goTo(anchor);
  // Selects the first word of the search in the topic, which shows it.
  const QString word = search_->text().split(QChar(' '), Qt::SkipEmptyParts).value(0);
  QTextCursor from(browser_->document());
  from.setPosition(std::max(0, anchorPosition(*browser_->document(), anchor)));
  const QTextCursor hit = browser_->document()->find(word, from);
  if (!hit.isNull()) browser_->setTextCursor(hit);
}

}  // namespace pelmar
