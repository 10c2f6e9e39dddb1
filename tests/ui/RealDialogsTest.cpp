// The real clipboard and printer of the window's dialogs, offscreen: the Windows-1251 text as the
// platform's text, a chart in its three picture flavours, and a print without any printer.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include "UiTestApp.h"
#include "app/DecodeDriver.h"
#include "chart/Chart.h"
#include "chart/Layout.h"
#include "core/Cp1251.h"
#include "ui/MainFrm.h"
#include "ui/PageControl.h"

namespace {

TEST(RealDialogs, TheClipboardGetsTheTextConvertedFromWindows1251) {
    ui::test::App();
    QtWindowDialogs dialogs;
    dialogs.CopyText(Utf8ToCp1251("ВЕТЕР 10 м/с\r\nёж\r\n"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("ВЕТЕР 10 м/с\r\nёж\r\n"));
    dialogs.CopyText("");
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}

TEST(RealDialogs, AChartGoesToTheClipboardAsBitmapSvgAndEmf) {
    ui::test::App();
    QtWindowDialogs dialogs;
    chart::Chart chart;
    chart::RenderOptions options;
    options.title = QStringLiteral("Тавик(27612.BIN)");
    dialogs.CopyChart(chart, QSize(320, 200), options);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(qvariant_cast<QImage>(mime->imageData()).size(), QSize(320, 200));
    EXPECT_TRUE(mime->hasFormat(QStringLiteral("image/svg+xml")));
    EXPECT_TRUE(mime->data(QStringLiteral("image/x-emf")).mid(40, 4) == " EMF");
}

// The real printer behind the scripted boxes.
class RealPrinterDialogs : public ui::test::ScriptedWindowDialogs {
public:
    void PrintLines(const QStringList& lines) override { real.PrintLines(lines); }
    void PrintChart(const chart::Chart& chart, QSize size, const chart::RenderOptions& options) override {
        real.PrintChart(chart, size, options);
    }
    QtWindowDialogs real;
};

// With no print system to ask, a print ends in the window's error box with a Russian message.
TEST(RealDialogs, PrintingWithoutAPrinterIsReportedAsAnError) {
    ui::test::App();
    ::setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1);
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a default printer is still there";
    RealPrinterDialogs dialogs;
    QTemporaryDir config;
    QTemporaryDir data;
    const QString file = data.filePath(QStringLiteral("temp52.bufr"));
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(TAVIK_SOURCE_DIR "/tests/decoder/data/temp52_ed4_small.bufr"), file));
    {
        TfmMainFrm window(dialogs, config.path(), QStringList());
        window.show();
        QCoreApplication::processEvents();
        ASSERT_TRUE(window.LoadPrimary(file));
        dialogs.messages.clear();
        window.idPrint->trigger();
        window.PageControlTU->SetActivePage(window.tsTemp);
        window.idPrint->trigger();
    }
    PrimaryFileName.clear();
    PrimaryBaseName.clear();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    for (const auto& message : dialogs.messages) {
        EXPECT_EQ(message.icon, MessageIcon::Error);
        EXPECT_TRUE(message.text.startsWith(QStringLiteral("Принтер не найден"))) << message.text.toStdString();
    }
}

}  // namespace
