#pragma once

#include <QDialog>
#include <optional>

#include "commands/help.h"

class QLabel;
class QLineEdit;
class QTextBrowser;
class QTreeWidget;

namespace pelmar {

// The program's own help window: the manual of the program's language with
// its contents on the left, a search field above them and the topic on the
// right. Page Up and Page Down scroll the manual, Ctrl+Home and Ctrl+End go
// to its top and end, wherever the focus is in the window.
class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Shows the manual in the file at the topic of the anchor and brings the
  // window forward; false (and nothing shown) when the file cannot be read.
  bool showTopic(const QString& manualFile, const QString& anchor, const Language& language);

  QTextBrowser* browser() const { return browser_; }
  QTreeWidget* contents() const { return contents_; }
  QLineEdit* searchField() const { return search_; }
  QLabel* noMatchLabel() const { return noMatch_; }
  // The anchor of the topic shown last.
  const QString& anchor() const { return anchor_; }

 private:
  bool load(const QString& manualFile);
  void setTexts(const Language& language);
  void goTo(const QString& anchor);
  // Shows only the topics that hold the words of the search field.
  void filter();
  // Shows the first topic found and selects the first word in it.
  void showFirstMatch();

  QTextBrowser* browser_;
  QTreeWidget* contents_;
  QLineEdit* search_;
  QLabel* noMatch_;
  QString file_;
  QString noMatchText_;
  QString anchor_;
  std::optional<HelpManual> manual_;
};

}  // namespace pelmar
