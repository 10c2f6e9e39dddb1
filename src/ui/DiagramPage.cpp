#include "ui/DiagramPage.h"

#include "chart/ChartView.h"
#include "decoder/UAReport.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using chart::AxisId;
using chart::SeriesKind;
using products::DiagramFamily;
using products::DiagramLine;

struct FamilyLook {
    DiagramFamily family;
    QRgb colour;
    Qt::PenStyle pen;
};

// Background lines, drawn in this order under the soundings.
constexpr FamilyLook FamilyLooks[] = {
    {DiagramFamily::Isobar, qRgb(150, 150, 150), Qt::SolidLine},
    {DiagramFamily::Isotherm, qRgb(170, 120, 60), Qt::SolidLine},
    {DiagramFamily::DryAdiabat, qRgb(60, 150, 60), Qt::DashLine},
    {DiagramFamily::PseudoAdiabat, qRgb(70, 110, 200), Qt::DashDotLine},
    {DiagramFamily::MixingRatio, qRgb(170, 80, 170), Qt::DotLine},
};

// The soundings: primary in the colours of the temperature chart, secondary in its secondary ones.
constexpr QRgb PrimaryT = qRgb(255, 0, 0);
constexpr QRgb PrimaryTd = qRgb(0, 170, 0);
constexpr QRgb SecondaryT = qRgb(255, 0, 128);
constexpr QRgb SecondaryTd = qRgb(19, 159, 124);
const QColor PositiveFill(255, 60, 0, 70);
const QColor NegativeFill(0, 90, 255, 70);

const QString NoLevelsNote =
    QStringLiteral("Нет уровней с давлением и температурой: кривые выпуска не построены (см. панель справа)");

chart::Series& AddLine(chart::Chart& c, const DiagramLine& line, const QString& title, QColor colour,
                       Qt::PenStyle pen, int width, SeriesKind kind = SeriesKind::FastLine) {
    chart::Series& s = c.AddSeries(kind, title);
    s.colour = colour;
    s.penStyle = pen;
    s.penWidth = width;
    s.inLegend = false;
    s.lineLabel = QString::fromStdString(line.label);
    s.lineLabelAt = line.labelAtStart ? chart::LineLabelAt::Start : chart::LineLabelAt::End;
    for (std::size_t i = 0; i < line.points.size(); ++i) {
        if (i < line.breakBefore.size() && line.breakBefore[i]) s.BreakLine();
        s.Add(line.points[i].x, line.points[i].pressure);
    }
    return s;
}

void AddArea(chart::Chart& c, const std::vector<DiagramLine>& polygons, const QString& title, const QColor& fill) {
    chart::Series& s = c.AddSeries(SeriesKind::Area, title);
    s.fill = fill;
    s.colour = QColor(fill.red(), fill.green(), fill.blue());
    s.penStyle = Qt::NoPen;
    s.inLegend = true;
    for (const DiagramLine& polygon : polygons) {
        s.BreakLine();
        for (const auto& p : polygon.points) s.Add(p.x, p.pressure);
    }
}

void SetUpAxes(chart::Chart& c, const products::DiagramFrame& frame) {
    chart::Axis& bottom = c.AxisOf(AxisId::Bottom);
    bottom.automatic = false;
    bottom.minimum = frame.leftX;
    bottom.maximum = frame.rightX;
    bottom.grid = false;
    // Skewed, x is the temperature only at the frame's bottom: the isotherms' labels name them.
    const bool skewed = frame.kind == products::DiagramKind::SkewT;
    bottom.labels = !skewed;
    bottom.title = skewed ? QStringLiteral("T, °C — по надписям изотерм") : QStringLiteral("T, °C");
    chart::Axis& left = c.AxisOf(AxisId::Left);
    left.automatic = false;
    left.logarithmic = true;
    left.inverted = true;
    left.minimum = frame.topPressure;
    left.maximum = frame.bottomPressure;
    left.grid = false;
    left.title = QStringLiteral("P, гПа");
    left.labelValues.assign(products::StandardIsobars.begin(), products::StandardIsobars.end());
    c.AxisOf(AxisId::Top).visible = false;
    c.AxisOf(AxisId::Right).visible = false;
    c.plotAspect = frame.aspect;
}

}  // namespace

DiagramPage::DiagramPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DiagramPage"));
    ChrtDiagram = new chart::ChartView(this);
    ChrtDiagram->setObjectName(QStringLiteral("ChrtDiagram"));
    cbEmagram = new QCheckBox(QStringLiteral("Эмаграмма (изотермы вертикальны)"), this);
    cbEmagram->setObjectName(QStringLiteral("cbEmagram"));
    mmIndices = new QPlainTextEdit(this);
    mmIndices->setObjectName(QStringLiteral("mmIndices"));
    mmIndices->setReadOnly(true);
    mmIndices->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    mmIndices->setMinimumWidth(260);
    mmIndices->setMaximumWidth(340);

    auto* left = new QVBoxLayout;
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(cbEmagram);
    left->addWidget(ChrtDiagram, 1);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(left, 1);
    row->addWidget(mmIndices);

    chart::Chart& c = ChrtDiagram->Model();
    c.gradient = false;
    c.background = Qt::white;
    c.clipSeries = true;
    c.legendVisible = true;
    c.margins = QMargins(4, 4, 4, 4);
    c.hint = QStringLiteral("Аэрологическая диаграмма: выделите область мышью, чтобы увеличить");
    connect(cbEmagram, &QCheckBox::toggled, this, [this] { Rebuild(); });
    Rebuild();
    FillPanel();
}

void DiagramPage::ShowSoundings(const tUAInBound* primarySounding, const tUAInBound* secondarySounding) {
    primary.reset();
    secondary.reset();
    indices = {};
    if (primarySounding != nullptr) {
        primary = products::BuildSoundingProfile(*primarySounding);
        indices = products::ComputeIndices(*primary);
        southern = !IsMissing(primarySounding->Latitude) && primarySounding->Latitude < 0;
    }
    if (secondarySounding != nullptr) secondary = products::BuildSoundingProfile(*secondarySounding);
    Rebuild();
    FillPanel();
}

void DiagramPage::ClearSecondary() {
    secondary.reset();
    Rebuild();
    FillPanel();
}

void DiagramPage::Rebuild() {
    chart::Chart& c = ChrtDiagram->Model();
    c.RemoveAllSeries();
    c.UndoZoom();
    const auto frame = products::MakeDiagramFrame(cbEmagram->isChecked() ? products::DiagramKind::Emagram
                                                                          : products::DiagramKind::SkewT);
    SetUpAxes(c, frame);
    const products::DiagramBackground background = products::MakeDiagramBackground(frame);
    for (const FamilyLook& look : FamilyLooks)
        for (const DiagramLine& line : background.Of(look.family))
            AddLine(c, line, QString(), QColor::fromRgb(look.colour), look.pen, 1);

    c.Text(chart::TextId::Foot).visible = primary && primary->levels.empty();
    c.Text(chart::TextId::Foot).text = NoLevelsNote;
    if (secondary) {
        const auto d = products::MakeDiagramSounding(frame, *secondary, nullptr);
        AddLine(c, d.temperature, QStringLiteral("T втор."), QColor::fromRgb(SecondaryT), Qt::SolidLine, 2).inLegend = true;
        AddLine(c, d.dewPoint, QStringLiteral("Td втор."), QColor::fromRgb(SecondaryTd), Qt::SolidLine, 2).inLegend = true;
    }
    if (primary) {
        const auto d = products::MakeDiagramSounding(frame, *primary, &indices.surface);
        AddArea(c, d.positiveAreas, QStringLiteral("+ энергия"), PositiveFill);
        AddArea(c, d.negativeAreas, QStringLiteral("− энергия"), NegativeFill);
        AddLine(c, d.temperature, QStringLiteral("T"), QColor::fromRgb(PrimaryT), Qt::SolidLine, 2).inLegend = true;
        AddLine(c, d.dewPoint, QStringLiteral("Td"), QColor::fromRgb(PrimaryTd), Qt::SolidLine, 2).inLegend = true;
        AddLine(c, d.parcel, QStringLiteral("Частица"), Qt::black, Qt::DashLine, 1).inLegend = true;
        chart::Series& marks = c.AddSeries(SeriesKind::Line, QStringLiteral("Уровни"));
        marks.colour = Qt::black;
        marks.penStyle = Qt::NoPen;
        marks.marker = chart::MarkerStyle::Diamond;
        marks.markerHSize = marks.markerVSize = 3;
        marks.marksVisible = true;
        marks.inLegend = false;
        for (const auto& m : d.marks) marks.Add(m.at.x, m.at.pressure, QString::fromStdString(m.label));
        chart::Series& barbs = c.AddSeries(SeriesKind::WindBarbs, QStringLiteral("Ветер"));
        barbs.colour = Qt::black;
        barbs.inLegend = false;
        barbs.barbsSouth = southern;
        for (const auto& b : d.barbs) barbs.Add3D(b.direction, b.pressure, b.speed);
    }
    c.Refresh();
}

void DiagramPage::FillPanel() {
    QStringList lines;
    if (!primary) {
        mmIndices->setPlainText(QStringLiteral("Выпуск не загружен."));
        return;
    }
    // The indices' notes include what the primary's data left out.
    for (const std::string& line : products::IndexPanelLines(indices)) lines << QString::fromStdString(line);
    if (secondary && !secondary->notes.empty()) {
        lines << QString() << QStringLiteral("Вторичный выпуск:");
        for (const std::string& note : secondary->notes) lines << QStringLiteral("Примечание: ") + QString::fromStdString(note);
    }
    lines << QString() << QStringLiteral("Ветер: полубородка 5 м/с, бородка 10 м/с, флажок 50 м/с.");
    mmIndices->setPlainText(lines.join(QLatin1Char('\n')));
}
