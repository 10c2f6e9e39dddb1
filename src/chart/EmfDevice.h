// A paint device that records what is painted on it as an enhanced metafile (EMF).
//
// Neither Qt nor this platform writes EMF, so our own paint engine turns QPainter calls into EMF
// records: the header, pens, brushes and fonts (created once each and reused), polylines,
// polygons, rectangles, ellipses, text (EXTTEXTOUTW), clip rectangles, bitmaps and the end of
// file. Logical units are the device's pixels; the frame follows from its resolution.
//
//   EmfDevice emf(QSize(800, 600));
//   { QPainter p(&emf); ...; }        // the file is complete when the painter ends
//   const QByteArray file = emf.Data();
// SaveEmf (Export.h) writes a chart's file to disk.
#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QSize>

#include <memory>

namespace chart {

class EmfPaintEngine;

class EmfDevice : public QPaintDevice {
public:
    explicit EmfDevice(QSize size, int dpi = 96);
    ~EmfDevice() override;

    QPaintEngine* paintEngine() const override;
    QSize Size() const { return size; }

    // The whole file, once a painter on this device has ended (empty before).
    QByteArray Data() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize size;
    int dpi;
    std::unique_ptr<EmfPaintEngine> engine;
};

// EMF record types written by the engine (a subset of the format), for readers and tests.
namespace emr {
inline constexpr quint32 Header = 1, Polygon = 3, Polyline = 4, Eof = 14, SetBkMode = 18,
                         SetPolyFillMode = 19, SetTextAlign = 22, SetTextColor = 24,
                         IntersectClipRect = 30, SaveDc = 33, RestoreDc = 34, SelectObject = 37,
                         CreatePen = 38, CreateBrushIndirect = 39, DeleteObject = 40, Ellipse = 42,
                         Rectangle = 43, StretchDiBits = 81, ExtCreateFontIndirectW = 82,
                         ExtTextOutW = 84;
inline constexpr quint32 Signature = 0x464D4520;  // " EMF"
}  // namespace emr

}  // namespace chart
