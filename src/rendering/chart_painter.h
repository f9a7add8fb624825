#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include "reports/chart_picture.h"

class QPainter;

namespace pelmar {

// The drawing of a chart: one function for the window, the PNG export and
// the headless tool, so all three show the same pixels for the same data.

// The plot area inside a drawing of the given size (margins for the heading,
// the value labels and the time axis).
QRect ChartPlotRect(const QSize& size);

// Draws the picture into the area: white ground, heading, grid, value and
// time axes, the series in blue and its 30-day mean in red. A picture with
// nothing to draw gets only the ground and the heading.
void PaintChart(QPainter& painter, const QSize& size, const ChartPicture& picture);

// The picture drawn into a new image of that size.
QImage RenderChart(const ChartPicture& picture, const QSize& size);
// That image as the bytes of a PNG file.
QByteArray ChartPng(const ChartPicture& picture, const QSize& size);

// Where value v lies vertically in the plot.
double ChartValueY(const QRect& plot, const ValueRange& range, double v);
// Where the day at index lies horizontally in a plot of `count` days.
double ChartIndexX(const QRect& plot, int count, int index);
// The day under the mouse at x: round((count − 1) × (x − left − 2.2) /
// (right − left)); -1 when x lies outside the read-out area (from 2 pixels
// right of the plot's left edge to 32 pixels right of its right edge) or the
// index outside the series.
int ChartIndexAt(const QRect& plot, int count, double x, double y);

}  // namespace pelmar
