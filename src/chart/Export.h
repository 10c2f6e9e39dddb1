// Pictures, printing and the clipboard. Each one paints the chart through Renderer, the same
// drawing path as the screen, at the size given (a window passes its view's current size).
//
// A window that exports with a temporary title does, for example:
//   chart.clipSeries = true; chart.ShowTitle(caption);
//   ok = SaveGif(chart, view->size(), fileName);
//   chart.HideTitle(); chart.clipSeries = false; chart.Refresh();
#pragma once

#include "chart/Chart.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QPainter;
class QPrinter;

namespace chart {

// Paints the chart into a rectangle of any painter.
void Render(const Chart& chart, QPainter& painter, const QRect& rect);
QImage RenderImage(const Chart& chart, QSize size);

// A GIF picture (giflib; one image with a 256-colour palette: the chart's most used colours
// exactly, the rest mapped to a colour cube). False when the file cannot be written.
bool SaveGif(const Chart& chart, QSize size, const QString& path);
// The image reduced to at most 256 colours as written into GIF files.
QImage ToGifPalette(const QImage& image);

// An enhanced metafile (vector records); what the "WMF" export writes.
QByteArray EmfData(const Chart& chart, QSize size);
bool SaveEmf(const Chart& chart, QSize size, const QString& path);

QByteArray SvgData(const Chart& chart, QSize size);

// Puts the chart on the clipboard as a picture: a bitmap (PNG), SVG and EMF.
void CopyToClipboard(const Chart& chart, QSize size);

// Prints the chart alone on one page of the printer, inside its margins, keeping the proportions
// of size. False when the printer cannot be started.
bool PrintChart(const Chart& chart, QSize size, QPrinter& printer);

}  // namespace chart
