#include "ui/main/rek_form.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "commands/accounts.h"
#include "commands/desktop_rules.h"
#include "commands/session.h"
#include "ui/dialogs/dialog_look.h"
#include "ui/main/help_context.h"
#include "ui/platform/window_position.h"

namespace pelmar {

namespace {

constexpr int kLabelColumn = 0;
constexpr int kValueColumn = 1;
constexpr int kHelpContext = 40000;
constexpr quint32 kLabelColour = 0x00FFFF;  // yellow, $BBGGRR

}  // namespace

TRekForm::TRekForm(Session& session, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      prompter_(prompter),
      TabControl1(new QTabBar(this)),
      RekGrid(new QTableWidget(AccountRow::Count, 2, this)),
      OKBtn(new QPushButton(this)),
      ToepassenBtn(new QPushButton(this)),
      CancelBtn(new QPushButton(this)) {
  setObjectName(QStringLiteral("RekForm"));
  setHelpContext(this, kHelpContext);
  setFont(QFont(QStringLiteral("Verdana"), 9));
  TabControl1->setObjectName(QStringLiteral("TabControl1"));
  RekGrid->setObjectName(QStringLiteral("RekGrid"));
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  ToepassenBtn->setObjectName(QStringLiteral("ToepassenBtn"));
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  for (int n = 0; n < 5; ++n) TabControl1->addTab(QString());
  RekGrid->horizontalHeader()->hide();
  RekGrid->verticalHeader()->hide();
  RekGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  RekGrid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::DoubleClicked);
  for (int row = 0; row < AccountRow::Count; ++row) {
    for (int column = kLabelColumn; column <= kValueColumn; ++column) {
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
      if (column == kValueColumn && AccountRowEditable(row)) flags |= Qt::ItemIsEditable;
      item->setFlags(flags);
      if (column == kLabelColumn) item->setBackground(windowsColor(kLabelColour));
      RekGrid->setItem(row, column, item);
    }
  }

  auto* column = new QVBoxLayout(this);
  column->addWidget(TabControl1);
  column->addWidget(RekGrid);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* button : {OKBtn, ToepassenBtn, CancelBtn}) buttons->addWidget(button);
  column->addLayout(buttons);

  connect(TabControl1, &QTabBar::currentChanged, this, &TRekForm::TabControl1Change);
  connect(RekGrid, &QTableWidget::currentCellChanged, this,
          [this](int row) { emit promptChanged(AccountPrompt(session_.language(), row)); });
  connect(OKBtn, &QPushButton::clicked, this, &TRekForm::OKBtnClick);
  connect(ToepassenBtn, &QPushButton::clicked, this, &TRekForm::ToepassenBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &TRekForm::CancelBtnClick);
  HandleLanguage();
  // The open window follows every change of an open portfolio; its own
  // Apply included.
  changeListener_ = session_.addChangeListener([this](Changes changes) {
    const Portfolio& p = session_.portfolio();
    if (changes && isVisible() && (p.bPortOpened() || p.bPortNew())) refresh();
  });
}

TRekForm::~TRekForm() {
  session_.removeChangeListener(changeListener_);
}

void TRekForm::HandleLanguage() {
  setWindowTitle(session_.text(TextId::AccountsTitle));
  // Alt and an account's digit choose its tab; the buttons take letters of
  // their own, as one group with the tabs.
  const int tabs = TabControl1->count();
  QStringList captions;
  for (int n = 0; n < tabs; ++n)
    captions << session_.text(TextId::AccountTab).arg(QStringLiteral("&%1").arg(n + 1));
  const QList<QPushButton*> buttons{OKBtn, ToepassenBtn, CancelBtn};
  captions << session_.text(TextId::ButtonOk) << session_.text(TextId::AccountsApply)
           << session_.text(TextId::ButtonCancel);
  const QStringList marked = AssignMnemonics(captions);
  for (int n = 0; n < tabs; ++n) TabControl1->setTabText(n, marked[n]);
  for (qsizetype i = 0; i < buttons.size(); ++i) buttons[i]->setText(marked[tabs + i]);
  for (int row = 0; row < AccountRow::Count; ++row)
    RekGrid->item(row, kLabelColumn)->setText(AccountLabel(session_.language(), row));
  // How this balance relates to the report's and to the main window's capital.
  for (int column = kLabelColumn; column <= kValueColumn; ++column)
    RekGrid->item(AccountRow::Saldo, column)->setToolTip(session_.text(TextId::FiguresRelation));
  const QFontMetrics metrics = RekGrid->fontMetrics();
  RekGrid->setColumnWidth(kLabelColumn,
                          metrics.horizontalAdvance(QStringLiteral("RenteCorrectie1234567")) + 15);
  RekGrid->setColumnWidth(kValueColumn,
                          metrics.horizontalAdvance(QStringLiteral("1234567890123456")) + 15);
  const int rowHeight = metrics.height() + 4;
  for (int row = 0; row < AccountRow::Count; ++row) RekGrid->setRowHeight(row, rowHeight);
  RekGrid->setMinimumSize(RekGrid->columnWidth(kLabelColumn) + RekGrid->columnWidth(kValueColumn) +
                              2 * RekGrid->frameWidth(),
                          rowHeight * AccountRow::Count + 2 * RekGrid->frameWidth());
}

void TRekForm::SpeedRekClick() {
  HandleLanguage();
  const Settings& s = session_.settings();
  QSize size = sizeHint();
  if (s.accountsWidth && s.accountsHeight) size = QSize(*s.accountsWidth, *s.accountsHeight);
  resize(size);
  move(s.accountsLeft, s.accountsTop);
  FitOnScreen(this);
  ShowAccount(SelectedAccountNumber(session_.portfolio()));
  show();
  raise();
  RekGrid->setFocus();
}

void TRekForm::ShowAccount(int number) {
  shown_ = number;
  fill(pelmar::ShowAccount(session_, number));
}

void TRekForm::refresh() {
  fill(AccountCells(session_, shown_));
}

void TRekForm::fill(const QStringList& cells) {
  switching_ = true;
  TabControl1->setCurrentIndex(shown_ - 1);
  switching_ = false;
  for (int row = 0; row < AccountRow::Count; ++row) setCellText(row, cells.value(row));
}

QStringList TRekForm::cellTexts() const {
  QStringList texts;
  for (int row = 0; row < AccountRow::Count; ++row)
    texts << RekGrid->item(row, kValueColumn)->text();
  return texts;
}

void TRekForm::setCellText(int row, const QString& text) {
  RekGrid->item(row, kValueColumn)->setText(text);
}

void TRekForm::TabControl1Change(int index) {
  if (switching_) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const Outcome applied = ApplyAccount(session_, prompter_, shown_, cellTexts());
  QApplication::restoreOverrideCursor();
  (void)session_.report(Report(applied, Change::Accounts | Change::Figures));
  ShowAccount(index + 1);
}

void TRekForm::ToepassenBtnClick() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // A refused credit percentage is shown by the command; the rest is taken.
  const Report applied = pelmar::ToepassenBtnClick(session_, prompter_, shown_, cellTexts());
  QApplication::restoreOverrideCursor();
  (void)session_.report(applied);
}

void TRekForm::OKBtnClick() {
  ToepassenBtnClick();
  close();
}

void TRekForm::CancelBtnClick() {
  close();
}

void TRekForm::keyPressEvent(QKeyEvent* event) {
  // Esc is Cancel; while a cell is edited its editor takes Esc first.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    CancelBtnClick();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TRekForm::hideEvent(QHideEvent* event) {
  // The prompt of a row belongs to the open window.
  emit promptChanged({});
  Settings& s = session_.settings();
  s.accountsLeft = x();
  s.accountsTop = y();
  s.accountsWidth = width();
  s.accountsHeight = height();
  QWidget::hideEvent(event);
}

}  // namespace pelmar
