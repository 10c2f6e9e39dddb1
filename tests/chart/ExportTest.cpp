#include "chart/EmfDevice.h"
#include "chart/Export.h"
#include "chart/Renderer.h"

#include "SampleCharts.h"
#include "TestApp.h"

#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <map>

namespace chart {
namespace {

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        ASSERT_TRUE(dir.isValid());
        test::MakeTemperatureChart(chart, test::SampleSounding(400), true);
        chart.cursor.active = false;
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    Chart chart;
    const QSize size{640, 480};
};

quint32 U32(const QByteArray& b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }
qint32 I32(const QByteArray& b, qsizetype at) { return qFromLittleEndian<qint32>(b.constData() + at); }

TEST_F(ExportTest, GifReadsBackAtTheChartSizeWithItsColours) {
    ASSERT_TRUE(SaveGif(chart, size, Path("t.gif")));
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(Path("t.gif")).constData(), &error);
    ASSERT_NE(gif, nullptr) << error;
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    EXPECT_EQ(gif->SWidth, size.width());
    EXPECT_EQ(gif->SHeight, size.height());
    ASSERT_EQ(gif->ImageCount, 1);
    const ColorMapObject* map = gif->SColorMap ? gif->SColorMap : gif->SavedImages[0].ImageDesc.ColorMap;
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->ColorCount, 256);
    // The picture is the rendered chart: a temperature marker (one not covered by the humidity
    // curve) is pure red in the GIF too.
    const Renderer r(chart, QRect(QPoint(0, 0), size));
    const QImage rendered = RenderImage(chart, size);
    const Series& t = chart.SeriesAt(0);
    int checked = 0;
    for (const ChartPoint& pt : t.Points()) {
        const QPoint at = r.MapPoint(t, pt)->toPoint();
        if (rendered.pixelColor(at) != QColor(Qt::red)) continue;
        const GifColorType c = map->Colors[gif->SavedImages[0].RasterBits[at.y() * size.width() + at.x()]];
        EXPECT_EQ(QColor(c.Red, c.Green, c.Blue), QColor(Qt::red));
        ++checked;
    }
    EXPECT_GT(checked, 10);
    // And the whole image matches the palette reduction of the rendered chart.
    const QImage reduced = ToGifPalette(RenderImage(chart, size));
    int differing = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const GifColorType g = map->Colors[gif->SavedImages[0].RasterBits[y * size.width() + x]];
            differing += QColor(g.Red, g.Green, g.Blue) != reduced.pixelColor(x, y);
        }
    EXPECT_EQ(differing, 0);
    DGifCloseFile(gif, &error);
    EXPECT_FALSE(SaveGif(chart, size, dir.filePath("missing/folder/t.gif")));
}

TEST_F(ExportTest, PaletteKeepsFrequentColoursExactly) {
    QImage img(300, 10, QImage::Format_RGB32);
    for (int x = 0; x < 300; ++x)
        for (int y = 0; y < 10; ++y) img.setPixel(x, y, qRgb(x % 256, (x * 7) % 256, y * 20));   // many colours
    for (int x = 0; x < 300; ++x) img.setPixel(x, 0, qRgb(0, 170, 0));                          // one frequent
    const QImage out = ToGifPalette(img);
    EXPECT_EQ(out.format(), QImage::Format_Indexed8);
    EXPECT_EQ(out.colorCount(), 256);
    EXPECT_EQ(out.pixelColor(5, 0), QColor(0, 170, 0));
    QImage few(4, 1, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(1, 2, 3), qRgb(200, 100, 50), qRgb(1, 2, 3), qRgb(9, 9, 9)};
    for (int x = 0; x < 4; ++x) few.setPixel(x, 0, colours[x]);
    const QImage exact = ToGifPalette(few);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(exact.pixel(x, 0), colours[x]);
}

TEST_F(ExportTest, EmfHasAValidHeaderBoundsAndRecords) {
    RenderOptions options;
    options.title = QStringLiteral("Тавик:27612");
    options.clipSeries = true;
    ASSERT_TRUE(SaveEmf(chart, size, Path("t.wmf"), options));
    QFile f(Path("t.wmf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    ASSERT_GE(b.size(), 108);
    EXPECT_EQ(U32(b, 0), emr::Header);
    const quint32 headerSize = U32(b, 4);
    EXPECT_GE(headerSize, 88u);
    EXPECT_EQ(I32(b, 8), 0);       // bounds
    EXPECT_EQ(I32(b, 12), 0);
    EXPECT_EQ(I32(b, 16), size.width() - 1);
    EXPECT_EQ(I32(b, 20), size.height() - 1);
    EXPECT_EQ(I32(b, 32), std::lround(size.width() * 2540.0 / 96) - 1);   // frame, 0.01 mm
    EXPECT_EQ(U32(b, 40), emr::Signature);
    EXPECT_EQ(U32(b, 44), 0x10000u);
    EXPECT_EQ(U32(b, 48), static_cast<quint32>(b.size()));
    const quint32 records = U32(b, 52);
    const quint16 handles = qFromLittleEndian<quint16>(b.constData() + 56);

    // Walk the records: sizes add up, each is aligned, the last is the end of file.
    std::map<quint32, int> counts;
    qsizetype at = 0;
    quint32 n = 0, lastType = 0, maxHandle = 0;
    bool redPen = false, titleText = false;
    const QByteArray title = QByteArray(reinterpret_cast<const char*>(QStringLiteral("Тавик").utf16()), 10);
    while (at < b.size()) {
        const quint32 type = U32(b, at), sz = U32(b, at + 4);
        ASSERT_GE(sz, 8u);
        ASSERT_EQ(sz % 4, 0u);
        ASSERT_LE(at + sz, b.size());
        ++counts[type];
        if (type == emr::CreatePen || type == emr::CreateBrushIndirect || type == emr::ExtCreateFontIndirectW)
            maxHandle = std::max(maxHandle, U32(b, at + 8));
        if (type == emr::CreatePen && U32(b, at + 24) == 0x0000FFu) redPen = true;   // COLORREF red
        if (type == emr::ExtTextOutW && b.mid(at, sz).contains(title)) titleText = true;
        if (type == emr::Polyline || type == emr::Polygon) {
            const quint32 count = U32(b, at + 24);
            ASSERT_EQ(sz, 28 + 8 * count);
        }
        lastType = type;
        at += sz;
        ++n;
    }
    EXPECT_EQ(at, b.size());
    EXPECT_EQ(n, records);
    EXPECT_EQ(lastType, emr::Eof);
    EXPECT_EQ(handles, maxHandle + 1);
    for (quint32 type : {emr::CreatePen, emr::CreateBrushIndirect, emr::SelectObject, emr::Polyline, emr::Polygon,
                         emr::Rectangle, emr::ExtCreateFontIndirectW, emr::ExtTextOutW, emr::IntersectClipRect})
        EXPECT_GT(counts[type], 0) << type;
    EXPECT_TRUE(redPen);
    EXPECT_TRUE(titleText);
}

// Metafile brushes are opaque: a translucent area becomes the colour it shows on white.
TEST_F(ExportTest, EmfGivesATranslucentAreaItsColourOnWhite) {
    Chart c;
    Series& area = c.AddSeries(SeriesKind::Area, "area");
    area.fill = QColor(255, 0, 0, 128);
    area.penStyle = Qt::NoPen;
    for (auto [x, y] : {std::pair{0.0, 0.0}, {1.0, 0.0}, {1.0, 1.0}}) area.Add(x, y);
    const QByteArray b = EmfData(c, size);
    bool pink = false, red = false;
    for (qsizetype at = 0; at + 8 <= b.size(); at += U32(b, at + 4)) {
        if (U32(b, at) != emr::CreateBrushIndirect) continue;
        const quint32 colour = U32(b, at + 16);   // COLORREF 0x00BBGGRR
        const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, bl = (colour >> 16) & 0xFF;
        pink = pink || (r == 255 && std::abs(g - 127) <= 1 && std::abs(bl - 127) <= 1);
        red = red || (r == 255 && g == 0 && bl == 0);
        if (U32(b, at + 4) == 0) break;
    }
    EXPECT_TRUE(pink);
    EXPECT_FALSE(red);
}

TEST_F(ExportTest, EmfEngineWritesEllipsesAndBitmaps) {
    EmfDevice emf(QSize(100, 80));
    {
        QPainter p(&emf);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::blue);
        p.drawEllipse(QRect(10, 10, 20, 10));
        QImage img(4, 2, QImage::Format_RGB32);
        img.fill(Qt::green);
        p.drawImage(QPoint(50, 50), img);
    }
    const QByteArray b = emf.Data();
    qsizetype at = U32(b, 4);
    bool ellipse = false, bitmap = false;
    while (at < b.size()) {
        const quint32 type = U32(b, at);
        if (type == emr::Ellipse) {
            ellipse = true;
            EXPECT_EQ(I32(b, at + 8), 10);
            EXPECT_EQ(I32(b, at + 12), 10);
            EXPECT_EQ(I32(b, at + 16), 29);
            EXPECT_EQ(I32(b, at + 20), 19);
        }
        if (type == emr::StretchDiBits) {
            bitmap = true;
            EXPECT_EQ(I32(b, at + 8 + 16), 50);                 // destination x
            EXPECT_EQ(I32(b, at + 8 + 16 + 16), 4);             // source width
            EXPECT_EQ(I32(b, at + 80 + 4), 4);                  // bitmap info: width
            EXPECT_EQ(U32(b, at + 120) & 0xFFFFFF, 0x00FF00u);  // first pixel, green
        }
        at += U32(b, at + 4);
    }
    EXPECT_TRUE(ellipse);
    EXPECT_TRUE(bitmap);
}

TEST_F(ExportTest, PrintingGivesOnePage) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Path("t.pdf"));
    ASSERT_TRUE(PrintChart(chart, size, printer));
    QFile f(Path("t.pdf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString pdf = QString::fromLatin1(f.readAll());
    EXPECT_EQ(pdf.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), 1);
    EXPECT_TRUE(pdf.contains(QRegularExpression(QStringLiteral("/Count\\s+1\\b"))));
}

TEST_F(ExportTest, ClipboardGetsThePictureAsBitmapSvgAndEmf) {
    CopyToClipboard(chart, size);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    ASSERT_TRUE(mime->hasImage());
    const QImage img = qvariant_cast<QImage>(mime->imageData());
    EXPECT_EQ(img.size(), size);
    EXPECT_EQ(img.convertToFormat(QImage::Format_RGB32), RenderImage(chart, size));
    EXPECT_TRUE(mime->data(QStringLiteral("image/svg+xml")).contains("<svg"));
    EXPECT_EQ(U32(mime->data(QStringLiteral("image/x-emf")), 40), emr::Signature);
}

}  // namespace
}  // namespace chart

namespace chart {
namespace {

// The hash seed changes with every process, so one process cannot see two orders; the records
// must not depend on it: the objects are deleted in handle order, and two exports are equal.
TEST_F(ExportTest, EmfIsTheSameBytesEveryTime) {
    RenderOptions options;
    options.title = QStringLiteral("Тавик(27612.BIN)");
    const QByteArray first = EmfData(chart, size, options);
    EXPECT_EQ(EmfData(chart, size, options), first);
    std::vector<quint32> deleted;
    for (qsizetype at = 0; at + 8 <= first.size();) {
        const quint32 type = U32(first, at);
        const quint32 length = U32(first, at + 4);
        ASSERT_GE(length, 8u);
        if (type == emr::DeleteObject) deleted.push_back(U32(first, at + 8));
        at += length;
    }
    ASSERT_GE(deleted.size(), 3u);
    EXPECT_TRUE(std::is_sorted(deleted.begin(), deleted.end()));
    EXPECT_EQ(std::adjacent_find(deleted.begin(), deleted.end()), deleted.end());
}

// Pictures are files for others to read: 0666 less the umask, as any new file.
TEST_F(ExportTest, PicturesGetTheUsualPermissions) {
    ASSERT_TRUE(SaveGif(chart, size, Path("p.gif")));
    ASSERT_TRUE(SaveEmf(chart, size, Path("p.wmf")));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    for (const char* name : {"p.gif", "p.wmf"}) {
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(Path(name)).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << name;
    }
    QFile gif(Path("p.gif"));
    ASSERT_TRUE(gif.open(QIODevice::ReadOnly));
    EXPECT_EQ(gif.readAll(), GifData(chart, size));
}

}  // namespace
}  // namespace chart
