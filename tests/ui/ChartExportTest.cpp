// «Экспорт диаграммы» on the real window, offscreen: the proposed names and title, the GIF and
// the metafile with the caption as their title line, the chart on screen left alone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

#include "UiTestApp.h"
#include "app/DecodeDriver.h"
#include "chart/ChartView.h"
#include "chart/EmfDevice.h"
#include "chart/Export.h"
#include "ui/MainFrm.h"
#include "ui/PageControl.h"

using ui::test::ReadFile;
using ui::test::ScriptedWindowDialogs;

namespace {

struct PageCase {
    QWidget* TfmMainFrm::*page;
    chart::ChartView* ProfileCharts::*view;
    const char* caption;
};

const PageCase Pages[] = {
    {&TfmMainFrm::tsTemp, &ProfileCharts::ChrtTemp, "Температура и Влажность"},
    {&TfmMainFrm::tsWind, &ProfileCharts::ChrtWind, "Ветер"},
    {&TfmMainFrm::tsZ, &ProfileCharts::ChrtZ, "Скорость подъема"},
    {&TfmMainFrm::ts3D, &ProfileCharts::Chrt3D, "3D"},
    {&TfmMainFrm::tsXY, &ProfileCharts::ChrtXY, "Траектория"},
};

class ChartExportTest : public ::testing::Test {
protected:
    ChartExportTest() {
        window = std::make_unique<TfmMainFrm>(dialogs, configDir.path(), QStringList());
        window->show();
        QCoreApplication::processEvents();
        const QString copy = data.filePath(QStringLiteral("temp52.bufr"));
        EXPECT_TRUE(QFile::copy(QString::fromUtf8(TAVIK_SOURCE_DIR "/tests/decoder/data/temp52_ed4_small.bufr"), copy));
        dialogs.Choose(copy);
        window->idPrimary->trigger();
        dialogs.messages.clear();
    }
    ~ChartExportTest() override {
        window.reset();
        PrimaryFileName.clear();
        PrimaryBaseName.clear();
    }
    chart::RenderOptions Titled() const {
        chart::RenderOptions options;
        options.title = window->windowTitle();
        options.clipSeries = true;
        return options;
    }

    ScriptedWindowDialogs dialogs;
    QTemporaryDir configDir;
    QTemporaryDir data;
    QTemporaryDir out;
    std::unique_ptr<TfmMainFrm> window;
};

TEST_F(ChartExportTest, EveryChartPageSavesItsChartUnderTheProposedNames) {
    TfmMainFrm& w = *window;
    for (const PageCase& c : Pages) {
        SCOPED_TRACE(c.caption);
        w.PageControlTU->SetActivePage(w.*c.page);
        chart::ChartView* view = w.Charts->*c.view;
        const QImage screenBefore = chart::RenderImage(view->Model(), view->size());
        const QString gif = out.filePath(QStringLiteral("c.gif"));
        const QString wmf = out.filePath(QStringLiteral("c.wmf"));
        dialogs.SaveAs(gif).SaveAs(wmf);
        ASSERT_TRUE(w.idSaveGIF->isEnabled());
        w.idSaveGIF->trigger();
        w.idSaveWMF->trigger();
        ASSERT_EQ(dialogs.saveDialogs.size(), 2u);
        const QString base = QStringLiteral("27612_20231010110637(") + QString::fromUtf8(c.caption) + QLatin1Char(')');
        EXPECT_EQ(dialogs.saveDialogs[0].fileName, base + QStringLiteral(".gif"));
        EXPECT_EQ(dialogs.saveDialogs[1].fileName, base + QStringLiteral(".wmf"));
        EXPECT_EQ(dialogs.saveDialogs[0].title, QStringLiteral("Сохранить график"));
        EXPECT_EQ(dialogs.saveDialogs[1].title, QStringLiteral("Сохранить график"));

        // The GIF reads back at the chart's size with the colours of the titled picture.
        const QImage read = QImage(gif).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(read.size(), view->size());
        const QImage expected =
            chart::ToGifPalette(chart::RenderImage(view->Model(), view->size(), Titled())).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(read, expected);
        EXPECT_NE(read, screenBefore.convertToFormat(QImage::Format_RGB32));
        // The metafile: EMF records under the ".wmf" name, the titled chart.
        const QByteArray emf = ReadFile(wmf);
        ASSERT_GE(emf.size(), 88);
        EXPECT_EQ(qFromLittleEndian<quint32>(emf.constData()), chart::emr::Header);
        EXPECT_EQ(emf.mid(40, 4), QByteArray(" EMF"));
        EXPECT_EQ(emf, chart::EmfData(view->Model(), view->size(), Titled()));

        EXPECT_EQ(chart::RenderImage(view->Model(), view->size()), screenBefore) << "the screen has no title";
        const mode_t mask = ::umask(0);
        ::umask(mask);
        for (const QString& file : {gif, wmf}) {
            struct stat st {};
            ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
        }
        dialogs.saveDialogs.clear();
    }
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(ChartExportTest, ATextPageOnlyBeepsAndACancelWritesNothing) {
    TfmMainFrm& w = *window;
    w.idSaveDiagram(w.idSaveGIF);
    w.idSaveDiagram(w.idSaveWMF);
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_TRUE(dialogs.saveDialogs.empty());

    w.PageControlTU->SetActivePage(w.tsWind);
    QDir::setCurrent(out.path());
    dialogs.CancelSave().CancelSave();
    w.idSaveGIF->trigger();
    w.idSaveWMF->trigger();
    EXPECT_EQ(dialogs.saveDialogs.size(), 2u);
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
}

// A write the system refuses goes to the window's general reporting.
TEST_F(ChartExportTest, AFailedWriteIsReportedAsAnError) {
    TfmMainFrm& w = *window;
    w.PageControlTU->SetActivePage(w.tsTemp);
    const QString folder = out.filePath(QStringLiteral("a folder"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/x")));
    dialogs.SaveAs(folder);
    w.idSaveGIF->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/x")).isDir());
}

}  // namespace
