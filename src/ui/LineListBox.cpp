#include "ui/LineListBox.h"

#include <algorithm>

#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextOption>

#include "core/Cp1251.h"

int LinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines.size());
}

QVariant LinesModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return QString::fromStdString(Cp1251ToUtf8(lines[static_cast<std::size_t>(index.row())]));
}

void LinesModel::SetLines(LineList newLines) {
    beginResetModel();
    lines = std::move(newLines);
    longestLine = 0;
    for (const std::string& line : lines) longestLine = std::max(longestLine, line.size());
    endResetModel();
}

namespace {

// Paints a line as the list box does: the selection in the highlight colours, the text with the
// list's tab stops, clipped to the item.
class LineDelegate : public QStyledItemDelegate {
public:
    LineDelegate(const LineListBox* list) : QStyledItemDelegate(const_cast<LineListBox*>(list)), list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        painter->save();
        if (selected) painter->fillRect(option.rect, palette.brush(QPalette::Highlight));
        painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        QTextOption textOption(Qt::AlignLeft | Qt::AlignVCenter);
        textOption.setWrapMode(QTextOption::NoWrap);
        textOption.setTabStopDistance(list->TabStopDistance());
        painter->setClipRect(option.rect);
        painter->drawText(QRectF(option.rect), index.data(Qt::DisplayRole).toString(), textOption);
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.backgroundColor = palette.color(selected ? QPalette::Highlight : QPalette::Base);
            list->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, list);
        }
        painter->restore();
    }

    // Every item is as wide as the longest line, so that the list scrolls sideways to its end.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const auto* model = static_cast<const LinesModel*>(index.model());
        const int charWidth = QFontMetrics(option.font).horizontalAdvance(QLatin1Char('M'));
        // At least the font's own line height, so that descenders and underscores are not cut off.
        const int height = std::max(LineListBox::ItemHeight, QFontMetrics(option.font).height());
        return {static_cast<int>(model->LongestLine()) * charWidth + 4, height};
    }

private:
    const LineListBox* list;
};

}  // namespace

LineListBox::LineListBox(const QColor& textColour, QWidget* parent) : QListView(parent), model(this) {
    // DejaVu Sans Mono is installed with the program; the others are fixed-pitch fonts with
    // Cyrillic letters that may stand in for it.
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("Noto Mono"), QStringLiteral("Courier New")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(FontPixels);
    setFont(font);

    QPalette colours = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Base, QColor(0, 0, 128));
        colours.setColor(group, QPalette::Text, textColour);
    }
    setPalette(colours);

    setModel(&model);
    setItemDelegate(new LineDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

qreal LineListBox::TabStopDistance() const {
    return TabStopDialogUnits * fontMetrics().averageCharWidth() / 4.0;
}
