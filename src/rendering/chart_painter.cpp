#include "rendering/chart_painter.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QPolygonF>
#include <cmath>

namespace pelmar {

namespace {

constexpr int kLeft = 72;
constexpr int kTop = 44;
constexpr int kRight = 40;
constexpr int kBottom = 52;

const QColor kSeries(0, 0, 255);
const QColor kAverage(255, 0, 0);
const QColor kMonthGrid(0xDD, 0xDD, 0xDD);
const QColor kValueGrid(0xEE, 0xEE, 0xEE);

QFont chartFont(int pixels, bool bold = false) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// A step of 1, 2 or 5 times a power of ten giving about six grid lines.
double valueStep(const ValueRange& range) {
  const double raw = (range.max - range.min) / 6;
  if (!(raw > 0)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  const double m = raw / power;
  return (m < 1.5 ? 1 : m < 3.5 ? 2 : m < 7.5 ? 5 : 10) * power;
}

void drawValueAxis(QPainter& p, const QRect& plot, const ChartPicture& picture) {
  const double step = valueStep(picture.range);
  const QFontMetrics metrics(p.font());
  for (double v = std::ceil(picture.range.min / step) * step; v <= picture.range.max; v += step) {
    const double y = ChartValueY(plot, picture.range, v);
    p.setPen(kValueGrid);
    p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    p.setPen(Qt::black);
    p.drawLine(QPointF(plot.left() - 4, y), QPointF(plot.left(), y));
    const QString label =
        QString::number(std::abs(v) < step / 1e6 ? 0.0 : v, 'f', picture.valueDecimals);
    const QRectF box(0, y - metrics.height() / 2.0, plot.left() - 7, metrics.height());
    p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, label);
  }
}

void drawTimeAxis(QPainter& p, const QRect& plot, const ChartPicture& picture) {
  const int count = int(picture.values.size());
  const QFontMetrics metrics(p.font());
  p.setPen(kMonthGrid);
  for (const AxisMark& mark : picture.marks) {
    if (!mark.gridLine) continue;
    const double x = ChartIndexX(plot, count, mark.index);
    p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
  }
  p.setPen(Qt::black);
  for (const AxisMark& mark : picture.marks) {
    const double x = ChartIndexX(plot, count, mark.index);
    p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + mark.tickLength));
    if (mark.label.isEmpty()) continue;
    const double width = metrics.horizontalAdvance(mark.label) + 2;
    const QRectF box(x - width / 2, plot.bottom() + mark.labelOffset, width, metrics.height());
    p.drawText(box, Qt::AlignCenter, mark.label);
  }
}

void drawLine(QPainter& p, const QRect& plot, const ChartPicture& picture,
              const std::vector<double>& values, int from, const QColor& colour) {
  const int count = int(values.size());
  if (count - from < 1) return;
  QPolygonF line;
  line.reserve(count - from);
  for (int i = from; i < count; ++i)
    line << QPointF(ChartIndexX(plot, count, i), ChartValueY(plot, picture.range, values[i]));
  p.setPen(QPen(colour, 1));
  p.drawPolyline(line);
}

}  // namespace

QRect ChartPlotRect(const QSize& size) {
  return QRect(QPoint(kLeft, kTop), QPoint(std::max(kLeft + 10, size.width() - kRight),
                                           std::max(kTop + 10, size.height() - kBottom)));
}

double ChartValueY(const QRect& plot, const ValueRange& range, double v) {
  const double span = range.max - range.min;
  if (!(span > 0)) return plot.bottom();
  return plot.bottom() - (v - range.min) / span * (plot.bottom() - plot.top());
}

double ChartIndexX(const QRect& plot, int count, int index) {
  if (count < 2) return plot.left();
  return plot.left() + double(plot.right() - plot.left()) * index / (count - 1);
}

int ChartIndexAt(const QRect& plot, int count, double x, double y) {
  if (x < plot.left() + 2 || x > plot.right() + 32 || y < plot.top() || y > plot.bottom())
    return -1;
  const int index =
      int(std::lround((count - 1) * (x - plot.left() - 2.2) / (plot.right() - plot.left())));
  return index >= 0 && index < count ? index : -1;
}

void PaintChart(QPainter& p, const QSize& size, const ChartPicture& picture) {
  p.save();
  p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  const QRect plot = ChartPlotRect(size);
  p.setPen(Qt::black);
  p.setFont(chartFont(15, true));
  p.drawText(QRect(0, 6, size.width(), kTop - 12), Qt::AlignCenter, picture.heading);
  if (!picture.empty()) {
    p.setFont(chartFont(11));
    if (!picture.totalChange.isEmpty())
      p.drawText(QRect(plot.left(), 6, plot.width(), kTop - 12), Qt::AlignRight | Qt::AlignBottom,
                 picture.totalChange);
    p.setRenderHint(QPainter::Antialiasing, false);
    drawValueAxis(p, plot, picture);
    drawTimeAxis(p, plot, picture);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setClipRect(plot.adjusted(0, 0, 1, 1));
    drawLine(p, plot, picture, picture.values, 0, kSeries);
    drawLine(p, plot, picture, picture.average, kChartAverageDays, kAverage);
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
  }
  p.restore();
}

QImage RenderChart(const ChartPicture& picture, const QSize& size) {
  QImage image(size, QImage::Format_RGB32);
  QPainter painter(&image);
  PaintChart(painter, size, picture);
  painter.end();
  return image;
}

QByteArray ChartPng(const ChartPicture& picture, const QSize& size) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  return writer.write(RenderChart(picture, size)) ? bytes : QByteArray();
}

}  // namespace pelmar
