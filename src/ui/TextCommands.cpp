// Saving, copying, printing and finding in the decoded text. Each command acts on the page that
// is active when it runs; the bytes and the search come from products/TextSearch, the clipboard
// and the printer from the window's dialogs.
#include <QItemSelectionModel>

#include "app/DecodeDriver.h"
#include "chart/ChartView.h"
#include "chart/Export.h"
#include "core/Cp1251.h"
#include "core/FileWriter.h"
#include "products/TextSearch.h"
#include "ui/LineListBox.h"
#include "ui/MainFrm.h"
#include "ui/PageControl.h"
#include "ui/WindowFileNames.h"

namespace {

std::vector<bool> SelectedFlags(const LineListBox& list) {
    std::vector<bool> selected(list.Lines().size(), false);
    for (const QModelIndex& index : list.selectionModel()->selectedIndexes())
        if (index.row() >= 0 && static_cast<std::size_t>(index.row()) < selected.size()) selected[index.row()] = true;
    return selected;
}

QStringList ToText(const LineList& lines) {
    QStringList text;
    text.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) text << QString::fromStdString(Cp1251ToUtf8(line));
    return text;
}

// What a copied or printed chart shows beyond the screen: the title line, series clipped.
chart::RenderOptions PictureOptions(const QString& title) {
    chart::RenderOptions options;
    options.title = title;
    options.clipSeries = true;
    return options;
}

}  // namespace

LineListBox* TfmMainFrm::ActiveTextList() const {
    QWidget* page = PageControlTU->ActivePage();
    if (page == tsPrimary) return lbPrim;
    if (page == tsSec && SecondaryLoaded()) return lbSec;
    return nullptr;
}

QString TfmMainFrm::ChartTitleText() const {
    QString title = windowTitle() + QLatin1Char('(') + FromNative(PrimaryFileName);
    if (SecondaryLoaded()) title += QLatin1Char('/') + FromNative(SecondaryFileName);
    return title + QLatin1Char(')');
}

// Save: the primary text beside the file it came from, under its name and ".PRN".
void TfmMainFrm::idSaveClick() {
    const QString name = FromNative(PrimaryFileName) + QStringLiteral(".PRN");
    try {
        WriteWholeFile(NativeName(FullPath(PrimaryFolder(), name)), LinesText(lbPrim->Lines()));
    } catch (const std::exception&) {
        Message(name + QStringLiteral("ашипка"));
    }
}

void TfmMainFrm::idSaveAsClick() {
    const auto file = ExecuteSaveDialog(BaseNameText(PrimaryBaseName) + QStringLiteral(".PRN"),
                                        QStringLiteral("Сохранить раскодированное сообщение"));
    if (file) WriteWholeFile(NativeName(*file), LinesText(lbPrim->Lines()));
}

void TfmMainFrm::CopyTextToClipboard(const std::string& text) {
    dialogs.CopyText(text);
}

void TfmMainFrm::CopySelectedLines(const LineListBox& list) {
    CopyTextToClipboard(SelectedLinesText(list.Lines(), SelectedFlags(list)));
}

void TfmMainFrm::CopyChartPicture(const chart::ChartView& view) {
    dialogs.CopyChart(view.Model(), view.size(), PictureOptions(ChartTitleText()));
}

void TfmMainFrm::PrintChart(const chart::ChartView& view) {
    dialogs.PrintChart(view.Model(), view.size(), PictureOptions(ChartTitleText()));
}

// The text and one more line end after it.
void TfmMainFrm::PrintText(const LineList& lines) {
    dialogs.PrintLines(ToText(lines) << QString());
}

void TfmMainFrm::PrintSelectedLines(const LineListBox& list) {
    const std::vector<bool> selected = SelectedFlags(list);
    LineList lines;
    for (std::size_t i = 0; i < selected.size(); ++i)
        if (selected[i]) lines.push_back(list.Lines()[i]);
    dialogs.PrintLines(ToText(lines));
}

void TfmMainFrm::idCopyClick() {
    if (const chart::ChartView* view = ActiveChart()) return CopyChartPicture(*view);
    if (const LineListBox* list = ActiveTextList()) CopyTextToClipboard(LinesText(list->Lines()));
}

void TfmMainFrm::idCopySelectedClick() {
    if (ActiveChart() != nullptr) return dialogs.Beep();
    if (const LineListBox* list = ActiveTextList()) CopySelectedLines(*list);
}

void TfmMainFrm::idPrintClick() {
    if (const chart::ChartView* view = ActiveChart()) return PrintChart(*view);
    if (const LineListBox* list = ActiveTextList()) PrintText(list->Lines());
}

void TfmMainFrm::idPrintSelectedClick() {
    if (ActiveChart() != nullptr) return dialogs.Beep();
    if (const LineListBox* list = ActiveTextList()) PrintSelectedLines(*list);
}

void TfmMainFrm::idFindClick() {
    if (ActiveTextList() == nullptr) return;
    dialogs.ShowFind(this, fdlLists, [this] { RunCommand([this] { fdlListsFind(FindSender::Dialog); }); });
}

void TfmMainFrm::idFindAgainClick() {
    fdlListsFind(FindSender::Menu);
}

void TfmMainFrm::fdlListsFind(FindSender sender) {
    const FindRequest request{.text = Utf8ToCp1251(fdlLists.findText.toStdString()),
                              .down = fdlLists.down,
                              .matchCase = fdlLists.matchCase,
                              .wholeWord = fdlLists.wholeWord};
    if (request.text.empty()) return;
    idFindAgain->setEnabled(true);   // its popup twin follows
    const bool primary = PageControlTU->ActivePage() == tsPrimary;
    LineListBox* list = primary ? lbPrim : lbSec;
    int& lastFound = primary ? LastFoundPrimary : LastFoundSecondary;
    const QModelIndex caret = list->currentIndex();
    const int start = sender == FindSender::Dialog ? (caret.isValid() ? caret.row() : 0)
                                                   : FindAgainStart(lastFound, request.down);
    const FindOutcome outcome = FindLine(list->Lines(), request, start);
    if (outcome.kind == FindOutcome::Finished) return Message(QStringLiteral("Поиск закончен!"));
    if (outcome.kind == FindOutcome::Found) {
        const QModelIndex found = list->Model().index(outcome.line, 0);
        list->selectionModel()->setCurrentIndex(found, QItemSelectionModel::NoUpdate);
        list->scrollTo(found);
        lastFound = outcome.line;
        list->setFocus();
    } else {
        Message(QStringLiteral("Ничего не найдено!"));
    }
    if (sender == FindSender::Dialog) dialogs.CloseFind();
}
