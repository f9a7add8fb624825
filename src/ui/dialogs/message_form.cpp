#include "ui/dialogs/message_form.h"

#include <QFontInfo>
#include <QFrame>
#include <QPlainTextEdit>
#include <QScreen>
#include <algorithm>

#include "commands/dialog_logic.h"
#include "ui/dialogs/dialog_look.h"

namespace pelmar {

TMessageForm::TMessageForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint),
      Panel(new QFrame(this)),
      MessageMemo(new QPlainTextEdit(Panel)) {
  applyDialogLook(this);
  setAttribute(Qt::WA_ShowWithoutActivating);
  QFont font(QStringLiteral("Verdana"));
  font.setPixelSize(14);
  setFont(font);

  Panel->setObjectName(QStringLiteral("Panel"));
  Panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel->setLineWidth(2);
  MessageMemo->setObjectName(QStringLiteral("MessageMemo"));
  MessageMemo->setReadOnly(true);
  MessageMemo->setFrameStyle(QFrame::NoFrame);
  MessageMemo->document()->setDocumentMargin(0);
  MessageMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  MessageMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  MessageMemo->setStyleSheet(QStringLiteral("background: transparent;"));

  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &QWidget::close);
}

void TMessageForm::ShowTimedMessage(const DialogArea& area, int milliseconds, const QString& line1,
                                    const QString& line2) {
  const QFontMetrics metrics(font());
  int textWidth = 0;
  for (const QString& line : memoLines(longerLine(line1, line2)))
    textWidth = std::max(textWidth, metrics.horizontalAdvance(line));

  const QStringList lines = timedMessageLines(line1, line2);
  MessageMemo->setPlainText(lines.join(QChar('\n')));
  const TimedMessageLayout l = layoutTimedMessage(
      textWidth, [&](int width) { return wrappedLineCount(MessageMemo->font(), lines, width); },
      qRound(QFontInfo(font()).pointSizeF()), memoLineHeight(MessageMemo->font()),
      area.screen.height());
  setFixedSize(l.window);
  Panel->setGeometry(rect());
  // The memo's place is given in the window; the panel fills the window.
  MessageMemo->setGeometry(l.memo);
  PlaceDialog(this, area);
  timer_.start(std::max(milliseconds, 0));
  show();
  raise();
}

}  // namespace pelmar
