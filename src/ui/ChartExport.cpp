// «Экспорт диаграммы»: the chart of the active page as a GIF or an enhanced metafile (written
// under the ".wmf" suffix). The picture carries the window's caption as its title line and its
// series clipped to the plot; the chart on screen stays as it is.
#include "app/DecodeDriver.h"
#include "chart/ChartView.h"
#include "chart/Export.h"
#include "core/Errors.h"
#include "core/FileWriter.h"
#include "ui/MainFrm.h"
#include "ui/PageControl.h"
#include "ui/WindowFileNames.h"

void TfmMainFrm::idSaveGIFClick() {
    idSaveDiagram(idSaveGIF);
}

void TfmMainFrm::idSaveWMFClick() {
    idSaveDiagram(idSaveWMF);
}

void TfmMainFrm::idSaveDiagram(QAction* sender) {
    const chart::ChartView* view = ActiveChart();
    if (view == nullptr) return dialogs.Beep();
    SaveChartPicture(*view, sender);
}

void TfmMainFrm::SaveChartPicture(const chart::ChartView& view, QAction* sender) {
    const QString suffix = QLatin1Char('(') + PageControlTU->Caption(PageControlTU->ActivePageIndex()) + QLatin1Char(')');
    const bool gif = sender == idSaveGIF;
    const auto file = ExecuteSaveDialog(BaseNameText(PrimaryBaseName) + suffix +
                                            (gif ? QStringLiteral(".gif") : QStringLiteral(".wmf")),
                                        QStringLiteral("Сохранить график"));
    if (!file) return;
    chart::RenderOptions options;
    options.title = windowTitle();
    options.clipSeries = true;
    const QByteArray picture =
        gif ? chart::GifData(view.Model(), view.size(), options) : chart::EmfData(view.Model(), view.size(), options);
    if (picture.isEmpty()) throw TavikError("Не удалось построить рисунок графика");
    WriteWholeFile(NativeName(*file), std::string_view(picture.constData(), static_cast<std::size_t>(picture.size())));
}
