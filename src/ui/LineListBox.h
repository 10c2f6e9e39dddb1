#pragma once
// The list of decoded text lines on the primary and secondary pages: one Windows-1251 line per
// item, a fixed-pitch 16-pixel font on navy, items 16 pixels high, tab stops every 22 dialog
// units (a quarter of the font's average character width each), several items selectable. The
// lines sit in a model that takes a whole text in one reset, however long.
#include <QAbstractListModel>
#include <QListView>

#include "core/Lines.h"

class LinesModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const LineList& Lines() const { return lines; }
    void SetLines(LineList newLines);
    // Characters of the longest line (its bytes: one character each in this code page).
    std::size_t LongestLine() const { return longestLine; }

private:
    LineList lines;
    std::size_t longestLine = 0;
};

class LineListBox : public QListView {
    Q_OBJECT
public:
    static constexpr int FontPixels = 16;
    static constexpr int ItemHeight = 16;
    static constexpr int TabStopDialogUnits = 22;

    LineListBox(const QColor& textColour, QWidget* parent = nullptr);

    const LineList& Lines() const { return model.Lines(); }
    void SetLines(LineList lines) { model.SetLines(std::move(lines)); }
    void Clear() { model.SetLines({}); }
    LinesModel& Model() { return model; }
    // Distance between two tab stops in pixels.
    qreal TabStopDistance() const;

private:
    LinesModel model;
};
