#include "ui/WindowDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QHeaderView>
#include <QToolButton>
#include <QTreeView>

#include "chart/ChartView.h"
#include "chart/Editor.h"
#include "chart/Export.h"
#include "core/Cp1251.h"
#include "core/Errors.h"
#include "ui/FindDialog.h"
#include "ui/OverrideCursor.h"
#include "ui/RussianFileColumns.h"

namespace {

// Texts of the program break lines with a lone CR, as the platform's message boxes it was made
// for do; here a box breaks only at LF.
QString BoxText(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// A load shows the hourglass while it runs; a question it asks is answered with the usual arrow.
class ArrowWhileAsking : public OverrideCursor {
public:
    ArrowWhileAsking() : OverrideCursor(Qt::ArrowCursor) {}
};

}  // namespace

void QtWindowDialogs::ShowMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) {
    static constexpr QMessageBox::Icon Icons[] = {QMessageBox::NoIcon, QMessageBox::Information,
                                                  QMessageBox::Warning, QMessageBox::Critical};
    const ArrowWhileAsking arrow;
    QMessageBox box(Icons[static_cast<int>(icon)], title, BoxText(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtWindowDialogs::AskYesNo(QWidget* parent, const QString& title, const QString& text) {
    const ArrowWhileAsking arrow;
    QMessageBox box(QMessageBox::Warning, title, BoxText(text), QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

bool QtWindowDialogs::AskOkCancel(QWidget* parent, const QString& title, const QString& text) {
    const ArrowWhileAsking arrow;
    QMessageBox box(QMessageBox::Question, title, BoxText(text), QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> QtWindowDialogs::InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                                 const QString& preset) {
    const ArrowWhileAsking arrow;
    QInputDialog box(parent);
    box.setInputMode(QInputDialog::TextInput);
    box.setWindowTitle(caption);
    box.setLabelText(prompt);
    box.setTextValue(preset);
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return box.textValue();
}

namespace {

// Qt's own file dialog (the platform's would not let the folder button and the view be set), set
// up from the settings a window keeps.
std::unique_ptr<QFileDialog> CreateFileDialog(QWidget* parent, const FileDialogSettings& settings,
                                              QFileDialog::AcceptMode mode) {
    auto dialog = std::make_unique<QFileDialog>(parent, settings.title, settings.initialDir, settings.filter);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    dialog->setDefaultSuffix(settings.defaultSuffix);
    dialog->setSizeGripEnabled(true);
    dialog->setProxyModel(new RussianFileColumns(dialog.get()));   // the dialog owns the model
    if (!settings.fileName.isEmpty()) dialog->selectFile(settings.fileName);
    return dialog;
}

// Shows a dialog; true when the user confirmed a file, whose full path is then settings.fileName.
bool ExecuteFileDialog(QFileDialog& dialog, FileDialogSettings& settings) {
    const ArrowWhileAsking arrow;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    settings.fileName = dialog.selectedFiles().constFirst();
    return true;
}

}  // namespace

std::unique_ptr<QFileDialog> CreateOpenDialog(QWidget* parent, const FileDialogSettings& settings) {
    auto dialog = CreateFileDialog(parent, settings, QFileDialog::AcceptOpen);
    // A read-only model: no new folder, no renaming or deleting from the dialog.
    dialog->setOption(QFileDialog::ReadOnly);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setViewMode(QFileDialog::Detail);
    QFileDialog* shown = dialog.get();
    QObject::connect(shown, &QFileDialog::directoryEntered, shown,
                     [shown] { shown->setViewMode(QFileDialog::Detail); });
    if (auto* newFolder = shown->findChild<QToolButton*>(QStringLiteral("newFolderButton"))) newFolder->hide();
    // Qt's first size cuts the names and sizes of a data folder ("01_jma_IUSC10RJ…", "766…tes").
    dialog->resize(OpenDialogSize);
    if (auto* files = shown->findChild<QTreeView*>(QStringLiteral("treeView"))) {
        files->header()->resizeSection(0, OpenDialogNameWidth);
        files->header()->resizeSection(1, OpenDialogSizeWidth);
        // Type and date as wide as their longest text of a data folder, plus the cell margins.
        const QFontMetrics metrics(files->font());
        files->header()->resizeSection(2, metrics.horizontalAdvance(QStringLiteral("Файл BUFR")) + 16);
        files->header()->resizeSection(3, metrics.horizontalAdvance(QStringLiteral("00.00.0000 00:00")) + 16);
    }
    return dialog;
}

bool QtWindowDialogs::OpenFile(QWidget* parent, FileDialogSettings& settings) {
    return ExecuteFileDialog(*CreateOpenDialog(parent, settings), settings);
}

std::unique_ptr<QFileDialog> CreateSaveDialog(QWidget* parent, const FileDialogSettings& settings) {
    auto dialog = CreateFileDialog(parent, settings, QFileDialog::AcceptSave);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setFileMode(QFileDialog::AnyFile);
    return dialog;
}

bool QtWindowDialogs::SaveFile(QWidget* parent, FileDialogSettings& settings) {
    return ExecuteFileDialog(*CreateSaveDialog(parent, settings), settings);
}

void QtWindowDialogs::EditChart(QWidget* owner, chart::ChartView* view, const QPoint& pos, const QString& caption) {
    if (view == nullptr) return;
    const ArrowWhileAsking arrow;
    const chart::HitResult part = view->HitTest(pos);
    chart::ShowChartEditor(owner, view->Model(), part, caption, chart::AllEditorOptions, 0, true, false,
                           QStringLiteral("Редактор диаграмм"));
    view->Model().Refresh();
}

void QtWindowDialogs::Beep() {
    QApplication::beep();
}

void QtWindowDialogs::OpenUrl(const QUrl& address) {
    QDesktopServices::openUrl(address);
}

void QtWindowDialogs::ShowFind(QWidget* parent, FindDialogSettings& settings, std::function<void()> findNext) {
    if (findDialog == nullptr || findDialog->parentWidget() != parent) findDialog = new FindDialog(parent);
    findDialog->Start(settings, std::move(findNext));
    findDialog->show();
    findDialog->raise();
    findDialog->activateWindow();
}

void QtWindowDialogs::CloseFind() {
    if (findDialog != nullptr) findDialog->close();
}

void QtWindowDialogs::CopyText(const std::string& cp1251) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(Cp1251ToUtf8(cp1251)));
}

void QtWindowDialogs::CopyChart(const chart::Chart& chart, QSize size, const chart::RenderOptions& options) {
    chart::CopyToClipboard(chart, size, options);
}

namespace {

constexpr int TabWidth = 8;

// The system's default printer, or the error that there is none.
std::unique_ptr<QPrinter> DefaultPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) throw TavikError("Принтер не найден: в системе нет принтера по умолчанию");
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

[[noreturn]] void RaisePrintError(const QPrinter& printer) {
    throw TavikError("Не удалось напечатать на принтере " + printer.printerName().toStdString());
}

QString ExpandTabs(const QString& line) {
    QString out;
    for (QChar c : line) {
        if (c != QLatin1Char('\t')) {
            out += c;
            continue;
        }
        out += QString(TabWidth - out.size() % TabWidth, QLatin1Char(' '));
    }
    return out;
}

}  // namespace

// A plain text stream: lines top to bottom in the printable area, a new page when one is full;
// no header, footer or page number.
void QtWindowDialogs::PrintLines(const QStringList& lines) {
    const auto printer = DefaultPrinter();
    printer->setDocName(QStringLiteral("Тавик"));
    QPainter painter;
    if (!painter.begin(printer.get())) RaisePrintError(*printer);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    painter.setFont(font);
    const QFontMetrics metrics(font, printer.get());
    const int pageHeight = printer->pageLayout().paintRectPixels(printer->resolution()).height();
    int y = 0;
    bool ok = true;
    for (const QString& line : lines) {
        if (y > 0 && y + metrics.lineSpacing() > pageHeight) {
            ok = printer->newPage() && ok;
            y = 0;
        }
        painter.drawText(0, y + metrics.ascent(), ExpandTabs(line));
        y += metrics.lineSpacing();
    }
    ok = painter.end() && ok;
    if (!ok) RaisePrintError(*printer);
}

void QtWindowDialogs::PrintChart(const chart::Chart& chart, QSize size, const chart::RenderOptions& options) {
    const auto printer = DefaultPrinter();
    printer->setDocName(QStringLiteral("Тавик"));
    if (!chart::PrintChart(chart, size, *printer, options)) RaisePrintError(*printer);
}
