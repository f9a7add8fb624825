#pragma once

#include <QDialog>
#include <optional>

#include "prices/price_table.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace pelmar {

class Session;

// The price import's dialog: the first rows of the file in a grid, the
// date and close columns and the date order as found (or to be chosen),
// and what the file gives with them, read again at every choice. OK is
// enabled while the file reads whole.
class CsvImportDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CsvImportDialog(const Session& session, QWidget* parent = nullptr);

  // Shows the file; the choices of OK, nothing after Cancel.
  std::optional<TableChoices> Execute(const QByteArray& bytes, const QString& fileName,
                                      const PriceTable& found);
  // Puts the file's first rows and what was found on screen.
  void load(const QByteArray& bytes, const QString& fileName, const PriceTable& found);
  // The choices on screen, and the summary of the file read with them.
  TableChoices choices() const;
  void reread();

  QTableWidget* Preview = nullptr;
  QComboBox* ComboDate = nullptr;
  QComboBox* ComboClose = nullptr;
  QComboBox* ComboOrder = nullptr;
  QLabel* LabelResult = nullptr;
  QPushButton* BtnOK = nullptr;
  QPushButton* BtnCancel = nullptr;

 private:
  const Session& session_;
  QByteArray bytes_;
  QString fileName_;
  QLabel* labelPreview_ = nullptr;
  QLabel* labelDate_ = nullptr;
  QLabel* labelClose_ = nullptr;
  QLabel* labelOrder_ = nullptr;
};

}  // namespace pelmar
