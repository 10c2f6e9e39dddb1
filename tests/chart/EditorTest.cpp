#include "chart/Editor.h"

#include "TestApp.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <QDoubleSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace chart {
namespace {

HitResult Hit(ChartPart part, int series = -1, std::optional<AxisId> axis = {}) {
    HitResult h;
    h.part = part;
    h.series = series;
    h.axis = axis;
    return h;
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        Series& t = chart.AddSeries(SeriesKind::Line, "TPrim");
        t.verticalAxis = AxisId::Left;
        t.Add(1, 2);
        Series& u = chart.AddSeries(SeriesKind::FastLine, "UPrimSig");
        u.verticalAxis = AxisId::Right;
    }
    template <typename W>
    W* Find(QWidget* page, const char* name) {
        return page ? page->findChild<W*>(QString::fromLatin1(name)) : nullptr;
    }
    Chart chart;
};

TEST_F(EditorTest, OpensOnThePageOfTheClickedPart) {
    struct Case {
        const char* name;
        HitResult hit;
        EditorPage page;
        int series;
        std::optional<AxisId> axis;
    };
    const Case cases[] = {
        {"nothing", Hit(ChartPart::None), EditorPage::General, -1, {}},
        {"legend", Hit(ChartPart::Legend), EditorPage::Legend, -1, {}},
        {"axis", Hit(ChartPart::Axis, -1, AxisId::Bottom), EditorPage::Axis, -1, AxisId::Bottom},
        {"axis title", Hit(ChartPart::AxisTitle, -1, AxisId::Top), EditorPage::Axis, -1, AxisId::Top},
        {"series point", Hit(ChartPart::SeriesPoint, 1), EditorPage::Axis, -1, AxisId::Right},
        {"series line", Hit(ChartPart::SeriesLine, 1), EditorPage::Series, 1, {}},
        {"series marks", Hit(ChartPart::SeriesMarks, 0), EditorPage::Series, 0, {}},
        {"line of no series", Hit(ChartPart::SeriesLine, -1), EditorPage::SeriesList, -1, {}},
        {"title", Hit(ChartPart::Title), EditorPage::Titles, -1, {}},
        {"subtitle", Hit(ChartPart::SubTitle), EditorPage::Titles, -1, {}},
        {"foot", Hit(ChartPart::Foot), EditorPage::Titles, -1, {}},
        {"subfoot", Hit(ChartPart::SubFoot), EditorPage::Titles, -1, {}},
        {"panel", Hit(ChartPart::ChartRect), EditorPage::Panel, -1, {}},
    };
    for (const Case& c : cases) {
        Editor e(chart, c.hit, EditorSettings{});
        EXPECT_EQ(e.CurrentPage(), c.page) << c.name;
        EXPECT_EQ(e.CurrentSeries(), c.series) << c.name;
        if (c.axis) {
            EXPECT_EQ(e.CurrentAxis(), *c.axis) << c.name;
        }
    }
}

TEST_F(EditorTest, SettingsAreHonoured) {
    EditorSettings s;
    s.caption = QStringLiteral("Тавик:27612_20240115233000:Ветер");
    s.hint = QStringLiteral("Редактор диаграмм");
    s.hiddenPages = PagePanel | PageSeries;
    s.treeShown = false;
    s.options = AllEditorOptions & ~OptionSeriesActive & ~OptionAxisRange;
    Editor e(chart, Hit(ChartPart::ChartRect), s);
    EXPECT_EQ(e.windowTitle(), s.caption);
    EXPECT_EQ(e.toolTip(), s.hint);
    // The panel page is hidden: the first page shown instead.
    EXPECT_EQ(e.CurrentPage(), EditorPage::SeriesList);
    EXPECT_EQ(e.PageWidget(EditorPage::Panel), nullptr);
    EXPECT_EQ(e.PageWidget(EditorPage::Series, 0), nullptr);
    EXPECT_TRUE(e.findChild<QTreeWidget*>("pageTree")->isHidden());
    auto* tabs = e.findChild<QTabBar*>("pageTabs");
    EXPECT_FALSE(tabs->isHidden());
    QStringList names;
    for (int i = 0; i < tabs->count(); ++i) names << tabs->tabText(i);
    EXPECT_EQ(names, (QStringList{"Серии", "Общие", "Оси", "Заголовки", "Легенда"}));
    // Options that are off leave their controls unchangeable.
    EXPECT_FALSE(Find<QCheckBox>(e.PageWidget(EditorPage::Axis), "axisLogarithmic")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>(e.PageWidget(EditorPage::Axis), "axisGrid")->isEnabled());
    auto* list = Find<QListWidget>(e.PageWidget(EditorPage::SeriesList), "seriesList");
    EXPECT_FALSE(list->item(0)->flags() & Qt::ItemIsUserCheckable);

    Editor withTree(chart, Hit(ChartPart::None), EditorSettings{});
    EXPECT_FALSE(withTree.findChild<QTreeWidget*>("pageTree")->isHidden());
    EXPECT_TRUE(withTree.findChild<QTabBar*>("pageTabs")->isHidden());
    EXPECT_EQ(withTree.toolTip(), QString());
    auto* tree = withTree.findChild<QTreeWidget*>("pageTree");
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->child(1)->text(0), "UPrimSig");
    // Choosing a page in the tree shows it.
    tree->setCurrentItem(tree->topLevelItem(0)->child(1));
    EXPECT_EQ(withTree.CurrentPage(), EditorPage::Series);
    EXPECT_EQ(withTree.CurrentSeries(), 1);
}

TEST_F(EditorTest, ChangesApplyToTheChartAtOnce) {
    QSignalSpy changed(&chart, &Chart::Changed);
    Editor e(chart, Hit(ChartPart::SeriesLine, 0), EditorSettings{});
    QWidget* series = e.PageWidget(EditorPage::Series, 0);
    Find<QCheckBox>(series, "seriesActive")->setChecked(false);
    EXPECT_FALSE(chart.SeriesAt(0).active);
    Find<QCheckBox>(series, "seriesMarks")->setChecked(true);
    EXPECT_TRUE(chart.SeriesAt(0).marksVisible);
    Find<QComboBox>(series, "seriesMarker")->setCurrentIndex(4);
    EXPECT_EQ(chart.SeriesAt(0).marker, MarkerStyle::Diamond);
    Find<QComboBox>(series, "seriesPen")->setCurrentIndex(1);
    EXPECT_EQ(chart.SeriesAt(0).penStyle, Qt::DotLine);
    EXPECT_EQ(Find<QComboBox>(e.PageWidget(EditorPage::Series, 1), "seriesMarker"), nullptr);   // fast line

    // The list shows the change made on the series page, and changes it back.
    e.ShowPage(EditorPage::SeriesList);
    auto* list = Find<QListWidget>(e.PageWidget(EditorPage::SeriesList), "seriesList");
    EXPECT_EQ(list->item(0)->checkState(), Qt::Unchecked);
    list->item(0)->setCheckState(Qt::Checked);
    EXPECT_TRUE(chart.SeriesAt(0).active);

    // The axes page edits the axis it shows.
    e.ShowAxis(AxisId::Left);
    QWidget* axes = e.PageWidget(EditorPage::Axis);
    Find<QCheckBox>(axes, "axisLogarithmic")->setChecked(true);
    Find<QCheckBox>(axes, "axisInverted")->setChecked(true);
    EXPECT_TRUE(chart.AxisOf(AxisId::Left).logarithmic);
    EXPECT_TRUE(chart.AxisOf(AxisId::Left).inverted);
    EXPECT_FALSE(chart.AxisOf(AxisId::Right).logarithmic);
    Find<QComboBox>(axes, "axisChoice")->setCurrentIndex(1);   // right
    EXPECT_EQ(e.CurrentAxis(), AxisId::Right);
    EXPECT_FALSE(Find<QCheckBox>(axes, "axisLogarithmic")->isChecked());
    Find<QCheckBox>(axes, "axisAutomatic")->setChecked(false);
    EXPECT_TRUE(Find<QWidget>(axes, "axisMinimum")->isEnabled());
    Find<QDoubleSpinBox>(axes, "axisMaximum")->setValue(15);
    EXPECT_FALSE(chart.AxisOf(AxisId::Right).automatic);
    EXPECT_EQ(chart.AxisOf(AxisId::Right).maximum, 15);

    // Titles: show the title line with a text.
    QWidget* titles = e.PageWidget(EditorPage::Titles);
    Find<QCheckBox>(titles, "textVisible")->setChecked(true);
    auto* text = Find<QLineEdit>(titles, "textText");
    text->setText(QString());
    QTest::keyClicks(text, "Sounding 27612");
    EXPECT_TRUE(chart.Text(TextId::Title).visible);
    EXPECT_EQ(chart.Text(TextId::Title).text, QStringLiteral("Sounding 27612"));

    Find<QCheckBox>(e.PageWidget(EditorPage::Legend), "legendVisible")->setChecked(true);
    EXPECT_TRUE(chart.legendVisible);
    Find<QCheckBox>(e.PageWidget(EditorPage::Panel), "gradient")->setChecked(false);
    EXPECT_FALSE(chart.gradient);
    Find<QCheckBox>(e.PageWidget(EditorPage::General), "view3D")->setChecked(true);
    EXPECT_TRUE(chart.view3D);
    EXPECT_GE(changed.count(), 14);
}

// The colour dialog opens over the colour button and must not take on its style: painted in the
// edited colour it would be unreadable. Only its preview shows the colour.
TEST_F(EditorTest, TheColourDialogIsNotPaintedInTheEditedColour) {
    const QColor edited(0x12, 0xab, 0x34);
    const auto share = [edited](QWidget* widget) {   // of the widget's pixels in the edited colour
        const QImage picture = widget->grab().toImage();
        int painted = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) painted += picture.pixelColor(x, y) == edited;
        return double(painted) / (picture.width() * picture.height());
    };
    chart.SeriesAt(0).colour = edited;
    Editor e(chart, Hit(ChartPart::SeriesLine, 0), EditorSettings{});
    auto* button = Find<QPushButton>(e.PageWidget(EditorPage::Series, 0), "seriesColour");
    ASSERT_NE(button, nullptr);
    double dialogShare = -1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        dialogShare = share(dialog);
        dialog->reject();
    });
    button->click();
    ASSERT_GE(dialogShare, 0) << "no colour dialog";
    EXPECT_LT(dialogShare, 0.1);
    EXPECT_EQ(chart.SeriesAt(0).colour, edited) << "cancelled";
}

TEST_F(EditorTest, PlacementIsRememberedOnlyWhenAsked) {
    EditorSettings remember;
    remember.rememberPlacement = true;
    {
        Editor e(chart, Hit(ChartPart::None), remember);
        e.show();
        e.resize(700, 500);
    }
    {
        Editor e(chart, Hit(ChartPart::None), remember);
        EXPECT_EQ(e.size(), QSize(700, 500));
    }
    {
        Editor e(chart, Hit(ChartPart::None), EditorSettings{});
        EXPECT_NE(e.size(), QSize(700, 500));
        e.show();
        e.resize(300, 300);
    }
    Editor e(chart, Hit(ChartPart::None), remember);
    EXPECT_EQ(e.size(), QSize(700, 500));
}

TEST_F(EditorTest, ShowChartEditorRunsTheDialogModally) {
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<Editor*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = dialog->windowTitle();
        EXPECT_EQ(dialog->CurrentPage(), EditorPage::Series);
        EXPECT_EQ(dialog->CurrentSeries(), 1);
        EXPECT_EQ(dialog->toolTip(), QStringLiteral("Редактор диаграмм"));
        dialog->reject();
    });
    ShowChartEditor(nullptr, chart, Hit(ChartPart::SeriesLine, 1), QStringLiteral("Тавик:x:Ветер"), AllEditorOptions, 0, true,
                    false, QStringLiteral("Редактор диаграмм"));
    EXPECT_EQ(seen, QStringLiteral("Тавик:x:Ветер"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace chart
