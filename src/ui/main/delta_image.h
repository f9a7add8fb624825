#pragma once

#include <QWidget>
#include <array>

#include "commands/dataset_view.h"
#include "commands/quote_history.h"

namespace pelmar {

// The real-time box's picture of the quote's recent changes: a blue level
// line, a green arrow up or a red arrow down per change, oldest left.
class DeltaImage : public QWidget {
  Q_OBJECT

 public:
  using Marks = std::array<QuoteHistory::Mark, QuoteHistory::kSize - 1>;

  explicit DeltaImage(QWidget* parent = nullptr);

  void setMarks(const Marks& marks);
  const Marks& marks() const { return marks_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Marks marks_{};
  bool drawn_ = false;
};

}  // namespace pelmar
