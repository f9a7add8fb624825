#include "ui/platform/qt_prompter.h"

#include <QCalendarWidget>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace pelmar {

Answer QtPrompter::question(const Question& q) {
  QMessageBox box(QMessageBox::Question, q.caption, q.message, QMessageBox::NoButton, parent_);
  QPushButton* yes = box.addButton(q.yesText, QMessageBox::YesRole);
  QPushButton* no = box.addButton(q.noText, QMessageBox::NoRole);
  QPushButton* cancel =
      q.showCancel ? box.addButton(q.cancelText, QMessageBox::RejectRole) : nullptr;
  box.setDefaultButton(q.yesIsDefault ? yes : no);
  box.exec();
  if (box.clickedButton() == yes) return Answer::Yes;
  if (box.clickedButton() == no) return Answer::No;
  return cancel ? Answer::Cancel : Answer::No;
}

InputResult QtPrompter::input(const QString& caption, const QString& prompt, const QString& text) {
  QInputDialog dialog(parent_);
  dialog.setWindowTitle(QStringLiteral("Pelmar - ") + caption);
  dialog.setLabelText(prompt);
  dialog.setTextValue(text);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  return {accepted, dialog.textValue()};
}

std::optional<QDateTime> QtPrompter::pickDate(const QString& caption, const QDateTime& proposal) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(caption);
  auto* calendar = new QCalendarWidget(&dialog);
  calendar->setSelectedDate(proposal.date());
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(calendar);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return QDateTime(calendar->selectedDate(), proposal.time());
}

void QtPrompter::message(const QString& text) {
  QMessageBox::information(parent_, QStringLiteral("Pelmar"), text);
}

void QtPrompter::timedMessage(const QString& line1, const QString& line2, int milliseconds) {
  QStringList lines;
  if (!line1.isEmpty()) lines << line1;
  if (!line2.isEmpty()) lines << line2;
  auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Pelmar"), lines.join('\n'),
                              QMessageBox::NoButton, parent_);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
  QTimer::singleShot(milliseconds, box, &QWidget::close);
}

std::optional<QString> QtPrompter::openFileName(const QString& caption, const QString& folder,
                                                const QString& filter) {
  const QString name = QFileDialog::getOpenFileName(parent_, caption, folder, filter);
  return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

std::optional<QString> QtPrompter::saveFileName(const QString& caption, const QString& proposal,
                                                const QString& filter) {
  const QString name = QFileDialog::getSaveFileName(parent_, caption, proposal, filter);
  return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

}  // namespace pelmar
