#include "chart/Export.h"

#include "chart/EmfDevice.h"
#include "chart/Renderer.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QSvgGenerator>

#include <gif_lib.h>

#include <algorithm>
#include <vector>

namespace chart {

namespace {

constexpr int PaletteSize = 256;
constexpr int CubeSteps = 5;                                   // 5 x 5 x 5 colour cube
constexpr int ExactColours = PaletteSize - CubeSteps * CubeSteps * CubeSteps;

int CubeLevel(int c) { return (c * (CubeSteps - 1) + 127) / 255; }

}  // namespace

void Render(const Chart& chart, QPainter& painter, const QRect& rect, const RenderOptions& options) {
    Renderer(chart, rect, options).Paint(painter);
}

QImage RenderImage(const Chart& chart, QSize size, const RenderOptions& options) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    Render(chart, p, QRect(QPoint(0, 0), size), options);
    return img;
}

QImage ToGifPalette(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) ++counts[row[x] | 0xff000000u];
    }
    std::vector<std::pair<int, QRgb>> byCount;
    byCount.reserve(counts.size());
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) byCount.emplace_back(it.value(), it.key());
    std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    const bool exact = byCount.size() <= PaletteSize;
    const int exactCount = exact ? static_cast<int>(byCount.size()) : ExactColours;
    QList<QRgb> palette;
    QHash<QRgb, int> index;
    for (int i = 0; i < exactCount; ++i) {
        index.insert(byCount[i].second, i);
        palette << byCount[i].second;
    }
    if (!exact)
        for (int r = 0; r < CubeSteps; ++r)
            for (int g = 0; g < CubeSteps; ++g)
                for (int b = 0; b < CubeSteps; ++b)
                    palette << qRgb(r * 255 / (CubeSteps - 1), g * 255 / (CubeSteps - 1), b * 255 / (CubeSteps - 1));
    while (palette.size() < PaletteSize) palette << qRgb(0, 0, 0);
    QImage out(image.size(), QImage::Format_Indexed8);
    out.setColorTable(palette);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = row[x] | 0xff000000u;
            const auto it = index.constFind(c);
            dst[x] = static_cast<uchar>(it != index.constEnd()
                                            ? *it
                                            : ExactColours + (CubeLevel(qRed(c)) * CubeSteps + CubeLevel(qGreen(c))) * CubeSteps + CubeLevel(qBlue(c)));
        }
    }
    return out;
}

namespace {

int AppendToBuffer(GifFileType* gif, const GifByteType* data, int size) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), size);
    return size;
}

}  // namespace

QByteArray GifData(const Chart& chart, QSize size, const RenderOptions& options) {
    const QImage img = ToGifPalette(RenderImage(chart, size, options));
    QByteArray data;
    int error = 0;
    GifFileType* gif = EGifOpen(&data, AppendToBuffer, &error);
    if (!gif) return {};
    std::vector<GifColorType> colours(PaletteSize);
    const QList<QRgb> table = img.colorTable();
    for (int i = 0; i < PaletteSize; ++i)
        colours[i] = GifColorType{static_cast<GifByteType>(qRed(table[i])), static_cast<GifByteType>(qGreen(table[i])),
                                  static_cast<GifByteType>(qBlue(table[i]))};
    ColorMapObject* map = GifMakeMapObject(PaletteSize, colours.data());
    bool ok = map && EGifPutScreenDesc(gif, img.width(), img.height(), 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, img.width(), img.height(), false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(img.width());
    for (int y = 0; ok && y < img.height(); ++y) {
        std::copy_n(img.constScanLine(y), img.width(), line.begin());
        ok = EGifPutLine(gif, line.data(), img.width()) == GIF_OK;
    }
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    GifFreeMapObject(map);
    return ok ? data : QByteArray();
}

namespace {

// A new file gets the usual permissions (0666 less the umask).
bool WriteFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    if (data.isEmpty() || !f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return f.write(data) == data.size() && f.flush();
}

}  // namespace

bool SaveGif(const Chart& chart, QSize size, const QString& path, const RenderOptions& options) {
    return WriteFile(path, GifData(chart, size, options));
}

QByteArray EmfData(const Chart& chart, QSize size, const RenderOptions& options) {
    EmfDevice emf(size);
    {
        QPainter p(&emf);
        Render(chart, p, QRect(QPoint(0, 0), size), options);
    }
    return emf.Data();
}

bool SaveEmf(const Chart& chart, QSize size, const QString& path, const RenderOptions& options) {
    return WriteFile(path, EmfData(chart, size, options));
}

QByteArray SvgData(const Chart& chart, QSize size, const RenderOptions& options) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    {
        QPainter p(&svg);
        Render(chart, p, QRect(QPoint(0, 0), size), options);
    }
    return buffer.data();
}

void CopyToClipboard(const Chart& chart, QSize size, const RenderOptions& options) {
    auto* mime = new QMimeData;
    mime->setImageData(RenderImage(chart, size, options));
    mime->setData(QStringLiteral("image/svg+xml"), SvgData(chart, size, options));
    mime->setData(QStringLiteral("image/x-emf"), EmfData(chart, size, options));
    QGuiApplication::clipboard()->setMimeData(mime);
}

bool PrintChart(const Chart& chart, QSize size, QPrinter& printer, const RenderOptions& options) {
    QPainter p;
    if (!p.begin(&printer)) return false;
    // The painter's origin is the top-left corner of the printable area.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double scale = std::min(page.width() / double(size.width()), page.height() / double(size.height()));
    p.translate((page.width() - size.width() * scale) / 2.0, 0);
    p.scale(scale, scale);
    Render(chart, p, QRect(QPoint(0, 0), size), options);
    return p.end();
}

}  // namespace chart
