// The page «Аэрологическая диаграмма» on the real window, offscreen: where it stands, the page
// rule, its picture export, the emagram switch, the secondary sounding's colours, and a sounding
// without pressures.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include "support/Fixtures.h"
#include "UiTestApp.h"
#include "app/DecodeDriver.h"
#include "chart/ChartView.h"
#include "chart/Export.h"
#include "ui/DiagramPage.h"
#include "ui/MainFrm.h"
#include "ui/PageControl.h"

using ui::test::ScriptedWindowDialogs;

namespace {

const QColor IsothermColour(170, 120, 60);
const QString Caption = QStringLiteral("Аэрологическая диаграмма");

class DiagramPageTest : public ::testing::Test {
protected:
    DiagramPageTest() {
        window = std::make_unique<TfmMainFrm>(dialogs, configDir.path(), QStringList());
        window->resize(1100, 800);
        window->show();
        QCoreApplication::processEvents();
    }
    ~DiagramPageTest() override {
        window.reset();
        PrimaryFileName.clear();
        PrimaryBaseName.clear();
        SecondaryFileName.clear();
        SecondaryBaseName.clear();
    }
    // Loads a copy of a file as the primary (or secondary) sounding through the menu.
    void Load(const QString& source, bool primary = true) {
        const QString copy = data.filePath(QFileInfo(source).fileName());
        QFile::remove(copy);
        ASSERT_TRUE(QFile::copy(source, copy));
        dialogs.Choose(copy);
        (primary ? window->idPrimary : window->idSecondary)->trigger();
        window->PageControlTU->SetActivePage(window->tsDiagram);
        QCoreApplication::processEvents();
    }
    chart::Chart& Model() { return window->Diagram->View()->Model(); }
    const chart::Series* Titled(const QString& title) {
        for (int k = 0; k < Model().SeriesCount(); ++k)
            if (Model().SeriesAt(k).title == title) return &Model().SeriesAt(k);
        return nullptr;
    }

    ScriptedWindowDialogs dialogs;
    QTemporaryDir configDir;
    QTemporaryDir data;
    QTemporaryDir out;
    std::unique_ptr<TfmMainFrm> window;
};

const QString Small = QStringLiteral(TAVIK_SOURCE_DIR "/tests/decoder/data/temp52_ed4_small.bufr");

TEST_F(DiagramPageTest, StandsAfter3DBeforeTheSecondaryAndFollowsTheChartPageRule) {
    TfmMainFrm& w = *window;
    PageControl* pages = w.PageControlTU;
    int index = 0;
    while (index < pages->PageCount() && pages->Pages(index) != w.tsDiagram) ++index;
    ASSERT_GT(index, 0);
    ASSERT_LT(index, pages->PageCount() - 1);
    EXPECT_EQ(pages->Pages(index - 1), w.ts3D);
    EXPECT_EQ(pages->Pages(index + 1), w.tsSec);
    EXPECT_EQ(pages->Caption(index), Caption);
    EXPECT_EQ(w.Diagram->parentWidget(), w.tsDiagram);
    Load(Small);
    for (QAction* on : {w.idSaveGIF, w.idSaveWMF, w.idEditChart, w.pidEditChart}) EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
    for (QAction* off : {w.idFind, w.idCopySelected, w.idPrintSelected}) EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    // Copy and print take the page's chart, titled, as on the other chart pages; the editor opens on it.
    w.idCopy->trigger();
    w.idPrint->trigger();
    w.idEditChart->trigger();
    EXPECT_EQ(dialogs.beeps, 0);
    const chart::ChartView* view = w.Diagram->View();
    chart::RenderOptions titled;
    titled.title = w.ChartTitleText();
    titled.clipSeries = true;
    const QImage expected = chart::RenderImage(view->Model(), view->size(), titled);
    ASSERT_EQ(dialogs.copiedCharts.size(), 1u);
    ASSERT_EQ(dialogs.printedCharts.size(), 1u);
    EXPECT_EQ(dialogs.copiedCharts[0].image.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(dialogs.printedCharts[0].image.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    ASSERT_EQ(dialogs.chartEditors.size(), 1u);
    EXPECT_EQ(dialogs.chartEditors[0].view, view);
}

TEST_F(DiagramPageTest, ThePageSavesItsChartAsAGifWithTheCaption) {
    TfmMainFrm& w = *window;
    Load(Small);
    const chart::ChartView* view = w.Diagram->View();
    const QString gif = out.filePath(QStringLiteral("d.gif"));
    dialogs.SaveAs(gif);
    w.idSaveGIF->trigger();
    ASSERT_EQ(dialogs.saveDialogs.size(), 1u);
    EXPECT_EQ(dialogs.saveDialogs[0].fileName, QStringLiteral("27612_20231010110637(") + Caption + QStringLiteral(").gif"));
    chart::RenderOptions titled;
    titled.title = w.windowTitle();
    titled.clipSeries = true;
    const QImage read = QImage(gif).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(read.size(), view->size());
    EXPECT_EQ(read, chart::ToGifPalette(chart::RenderImage(view->Model(), view->size(), titled)).convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(DiagramPageTest, TheEmagramSwitchStandsTheIsothermsUpright) {
    Load(Small);
    DiagramPage& page = *window->Diagram;
    auto isothermsLean = [this] {
        int leaning = 0, upright = 0;
        for (int k = 0; k < Model().SeriesCount(); ++k) {
            const chart::Series& s = Model().SeriesAt(k);
            if (s.colour != IsothermColour) continue;
            (s.Points().front().x == s.Points().back().x ? upright : leaning)++;
        }
        return std::pair{leaning, upright};
    };
    const chart::Series* t = Titled(QStringLiteral("T"));
    ASSERT_NE(t, nullptr);
    const double skewedTop = t->Points().back().x;
    EXPECT_GT(isothermsLean().first, 5);
    EXPECT_EQ(isothermsLean().second, 0);
    EXPECT_FALSE(Model().AxisOf(chart::AxisId::Bottom).labels) << "skewed, the isotherms' labels name them";
    page.cbEmagram->click();
    EXPECT_EQ(isothermsLean().first, 0);
    EXPECT_GT(isothermsLean().second, 5);
    EXPECT_TRUE(Model().AxisOf(chart::AxisId::Bottom).labels);
    t = Titled(QStringLiteral("T"));
    ASSERT_NE(t, nullptr);
    EXPECT_LT(t->Points().back().x, skewedTop) << "the sounding's top is no longer shifted right";
    EXPECT_FALSE(page.mmIndices->toPlainText().isEmpty());
    page.cbEmagram->click();
    EXPECT_EQ(isothermsLean().second, 0);
}

TEST_F(DiagramPageTest, TheSecondarySoundingComesInItsColoursAndGoesWithItsClearing) {
    Load(Small);
    EXPECT_EQ(Titled(QStringLiteral("T втор.")), nullptr);
    Load(Small, false);
    const chart::Series* t2 = Titled(QStringLiteral("T втор."));
    const chart::Series* td2 = Titled(QStringLiteral("Td втор."));
    ASSERT_TRUE(t2 && td2);
    EXPECT_EQ(t2->colour, QColor(255, 0, 128));
    EXPECT_EQ(td2->colour, QColor(19, 159, 124));
    EXPECT_EQ(t2->Count(), Titled(QStringLiteral("T"))->Count());
    EXPECT_EQ(Titled(QStringLiteral("T"))->colour, QColor(Qt::red));
    window->idClearSecondary->trigger();
    EXPECT_EQ(Titled(QStringLiteral("T втор.")), nullptr);
    EXPECT_NE(Titled(QStringLiteral("T")), nullptr);
}

TEST_F(DiagramPageTest, ASoundingWithoutPressuresShowsTheBackgroundAndSaysWhy) {
    const auto file = FixturesDir() / "pilot51_ed4.bufr";
    TAVIK_REQUIRE_PATH(file);
    Load(QString::fromStdString(file.string()));
    ASSERT_TRUE(window->idSecondary->isEnabled()) << "loaded";
    const chart::Chart& c = Model();
    EXPECT_TRUE(c.Text(chart::TextId::Foot).visible);
    EXPECT_TRUE(c.Text(chart::TextId::Foot).text.contains(QStringLiteral("давлением")));
    const chart::Series* t = Titled(QStringLiteral("T"));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Count(), 0);
    EXPECT_GT(c.SeriesCount(), 20) << "the background stays";
    EXPECT_TRUE(window->Diagram->mmIndices->toPlainText().contains(QStringLiteral("давлени")));
    const QString gif = out.filePath(QStringLiteral("p.gif"));
    dialogs.SaveAs(gif);
    window->idSaveGIF->trigger();
    EXPECT_FALSE(QImage(gif).isNull());
    EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
