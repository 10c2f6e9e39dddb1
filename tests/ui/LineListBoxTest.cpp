// The decoded-text lists: the model, the look and the tab stops.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>
#include <QImage>
#include <QSignalSpy>

#include "UiTestApp.h"
#include "core/Cp1251.h"
#include "ui/LineListBox.h"

namespace {

TEST(LinesModel, TakesTenThousandLinesInOneResetAndShowsThemFromWindows1251) {
    LineListBox list(Qt::white);
    QSignalSpy resets(&list.Model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&list.Model(), &QAbstractItemModel::rowsInserted);
    LineList lines;
    for (int i = 0; i < 10000; ++i) lines.push_back(Utf8ToCp1251("Уровень " + std::to_string(i) + "\tT=-56.5"));
    list.SetLines(std::move(lines));
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(inserts.count(), 0);
    ASSERT_EQ(list.Model().rowCount(), 10000);
    EXPECT_EQ(list.Model().index(9999).data().toString(), QStringLiteral("Уровень 9999\tT=-56.5"));
    EXPECT_EQ(list.Lines()[0], Utf8ToCp1251("Уровень 0\tT=-56.5"));
    list.Clear();
    EXPECT_EQ(list.Model().rowCount(), 0);
    EXPECT_EQ(resets.count(), 2);
}

// Pixels of the given colour in a rendered list.
int CountColour(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) ++n;
    return n;
}

// Leftmost column of row y's item that is not navy, or -1.
int FirstInkColumn(const QImage& image, const QRect& item) {
    for (int x = item.left(); x <= item.right(); ++x)
        for (int y = item.top(); y <= item.bottom(); ++y)
            if (image.pixelColor(x, y) != QColor(0, 0, 128)) return x;
    return -1;
}

struct LookCase {
    const char* name;
    QColor text;
};

TEST(LineListBox, WritesAFixedPitch16PixelFontInItsColourOnNavy) {
    const LookCase cases[] = {{"primary", Qt::white}, {"secondary", QColor(0, 255, 255)}};
    for (const LookCase& c : cases) {
        SCOPED_TRACE(c.name);
        LineListBox list(c.text);
        list.resize(400, 120);
        list.SetLines({Utf8ToCp1251("ЖЖЖЖ ЖЖЖЖ"), Utf8ToCp1251("ШШШ")});
        list.show();
        EXPECT_EQ(list.font().pixelSize(), 16);
        EXPECT_TRUE(QFontInfo(list.font()).fixedPitch()) << QFontInfo(list.font()).family().toStdString();
        // Items are as high as the font's lines (16 pixels at least), so that descenders and
        // underscores are not cut off.
        const int lineHeight = std::max(16, QFontMetrics(list.font()).height());
        EXPECT_EQ(list.visualRect(list.Model().index(1)).height(), lineHeight);
        EXPECT_EQ(list.visualRect(list.Model().index(1)).top(), lineHeight);
        EXPECT_EQ(list.selectionMode(), QAbstractItemView::ExtendedSelection);

        const QImage image = list.viewport()->grab().toImage();
        EXPECT_GT(CountColour(image, QColor(0, 0, 128)), image.width() * image.height() / 2);
        EXPECT_GT(CountColour(image, c.text), 30);
    }
}

// An underscore sits below the baseline: a row too low for the font would cut it off and a path
// would show blanks where its underscores are.
TEST(LineListBox, AnUnderscoreIsDrawn) {
    LineListBox list(Qt::white);
    list.resize(400, 120);
    list.SetLines({"________"});
    list.show();
    const QImage image = list.viewport()->grab().toImage();
    const QRect row = list.visualRect(list.Model().index(0));
    int ink = 0;
    for (int y = row.top(); y <= row.bottom(); ++y)
        for (int x = row.left(); x <= std::min(row.right(), image.width() - 1); ++x)
            ink += image.pixelColor(x, y) != QColor(0, 0, 128);
    EXPECT_GT(ink, 20);
}

TEST(LineListBox, ATabMovesTheTextToTheNextStopOf22DialogUnits) {
    LineListBox list(Qt::white);
    list.resize(600, 100);
    list.SetLines({"X", "\tX", "XXXXXXX\tX"});
    const qreal stop = list.TabStopDistance();
    const int charWidth = list.fontMetrics().horizontalAdvance(QLatin1Char('X'));
    EXPECT_NEAR(stop, 22 * list.fontMetrics().averageCharWidth() / 4.0, 1e-9);
    ASSERT_GT(stop, 5 * charWidth);   // the stop lies past five characters of this font

    list.show();
    const QImage image = list.viewport()->grab().toImage();
    const int plain = FirstInkColumn(image, list.visualRect(list.Model().index(0)));
    const int tabbed = FirstInkColumn(image, list.visualRect(list.Model().index(1)));
    ASSERT_GE(plain, 0);
    EXPECT_NEAR(tabbed - plain, stop, 1.5);
    // Seven characters pass the first stop: the X after the tab goes to the second.
    const QRect third = list.visualRect(list.Model().index(2));
    int lastInk = -1;
    for (int x = third.right(); x >= third.left() && lastInk < 0; --x)
        for (int y = third.top(); y <= third.bottom(); ++y)
            if (image.pixelColor(x, y) != QColor(0, 0, 128)) { lastInk = x; break; }
    EXPECT_NEAR(lastInk, plain + 2 * stop + charWidth, charWidth);
}

}  // namespace
