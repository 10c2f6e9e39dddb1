// Pictures, printing and the clipboard. Each one paints the chart through Renderer, the same
// drawing path as the screen, at the size given (a window passes its view's current size).
//
// What a picture shows beyond the chart on screen comes with the render options; the chart itself
// is left alone:
//   RenderOptions options;
//   options.title = caption;
//   options.clipSeries = true;
//   ok = SaveGif(chart, view->size(), fileName, options);
#pragma once

#include "chart/Chart.h"
#include "chart/Layout.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QPainter;
class QPrinter;

namespace chart {

// Paints the chart into a rectangle of any painter.
void Render(const Chart& chart, QPainter& painter, const QRect& rect, const RenderOptions& options = {});
QImage RenderImage(const Chart& chart, QSize size, const RenderOptions& options = {});

// A GIF picture (giflib; one image with a 256-colour palette: the chart's most used colours
// exactly, the rest mapped to a colour cube). False when the file cannot be written.
bool SaveGif(const Chart& chart, QSize size, const QString& path, const RenderOptions& options = {});
// The bytes of that GIF file; empty when the encoder fails.
QByteArray GifData(const Chart& chart, QSize size, const RenderOptions& options = {});
// The image reduced to at most 256 colours as written into GIF files.
QImage ToGifPalette(const QImage& image);

// An enhanced metafile (vector records); what the "WMF" export writes.
QByteArray EmfData(const Chart& chart, QSize size, const RenderOptions& options = {});
bool SaveEmf(const Chart& chart, QSize size, const QString& path, const RenderOptions& options = {});

QByteArray SvgData(const Chart& chart, QSize size, const RenderOptions& options = {});

// Puts the chart on the clipboard as a picture: a bitmap (PNG), SVG and EMF.
void CopyToClipboard(const Chart& chart, QSize size, const RenderOptions& options = {});

// Prints the chart alone on one page of the printer, inside its margins, keeping the proportions
// of size. False when the printer cannot be started.
bool PrintChart(const Chart& chart, QSize size, QPrinter& printer, const RenderOptions& options = {});

}  // namespace chart
