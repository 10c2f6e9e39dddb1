// Loading soundings into the main window: the primary file from the open dialog, a recent file,
// a drop, the command line or a second copy of the program, its reload, and the secondary file
// and its clearing. Every primary way ends in LoadPrimary.
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>

#include "app/DecodeDriver.h"
#include "chart/Series.h"
#include "core/Errors.h"
#include "core/TextHelpers.h"
#include "ui/CopyDataServer.h"
#include "ui/DiagramPage.h"
#include "ui/ErrorReport.h"
#include "ui/LineListBox.h"
#include "ui/MainFrm.h"
#include "ui/OverrideCursor.h"
#include "ui/PageControl.h"
#include "ui/QtPrompts.h"
#include "ui/ROFMenu.h"
#include "ui/WindowFileNames.h"

namespace {

using Field = QAction* TfmMainFrm::*;

// Items a successful primary load enables; those that need a trajectory of more than one point.
constexpr Field LoadedItems[] = {&TfmMainFrm::idSave,  &TfmMainFrm::idSaveAs,    &TfmMainFrm::idSecondary,
                                 &TfmMainFrm::idTraj,  &TfmMainFrm::idSaveChart, &TfmMainFrm::idCopy,
                                 &TfmMainFrm::idPrint, &TfmMainFrm::idDataExport, &TfmMainFrm::idJSON,
                                 &TfmMainFrm::idCSV};
constexpr Field TrajectoryItems[] = {&TfmMainFrm::idKML, &TfmMainFrm::idGMStatic, &TfmMainFrm::idYMStatic};
// Off from the start of every primary load until it succeeds: a failed load may leave the decoder
// holding part of the new file while the header kept for the export is the old one's.
constexpr Field DataExportItems[] = {&TfmMainFrm::idDataExport, &TfmMainFrm::idJSON, &TfmMainFrm::idCSV};

// The hourglass while a file loads.
class WaitCursor : public OverrideCursor {
public:
    WaitCursor() : OverrideCursor(Qt::WaitCursor) {}
};

// The lines of a decode reach their list however the decode ends, an exception included.
class LinesTo {
public:
    explicit LinesTo(LineListBox* list) : list(list), lines(list->Lines()) {}
    ~LinesTo() { list->SetLines(std::move(lines)); }
    LinesTo(const LinesTo&) = delete;
    LinesTo& operator=(const LinesTo&) = delete;
    LineList& Lines() { return lines; }

private:
    LineListBox* list;
    LineList lines;
};

}  // namespace

// Marks a decode as running; loads asked for meanwhile (a second copy's message) wait for its end.
class DecodingScope {
public:
    explicit DecodingScope(TfmMainFrm& window) : window(window), outer(window.decoding) { window.decoding = true; }
    ~DecodingScope() {
        window.decoding = outer;
        if (!outer && !window.pendingLoads.isEmpty())
            QTimer::singleShot(0, &window, [w = &window] { w->LoadPending(); });
    }
    DecodingScope(const DecodingScope&) = delete;
    DecodingScope& operator=(const DecodingScope&) = delete;

private:
    TfmMainFrm& window;
    bool outer;
};

QString TfmMainFrm::PrimaryFolder() const {
    return primaryFolder.isEmpty() ? QDir::currentPath() : primaryFolder;
}

void TfmMainFrm::ClearPrimary() {
    Charts->UndoZoomAll();
    lbPrim->Clear();
    Charts->ClearPrimarySeries();
    Diagram->ShowSoundings(nullptr, SecondaryLoaded() ? &UASecondary : nullptr);
    for (Field item : DataExportItems) (this->*item)->setEnabled(false);
}

bool TfmMainFrm::LoadPrimary(const QString& name) {
    return LoadPrimaryFrom(name, QDir::currentPath());
}

bool TfmMainFrm::LoadPrimaryFrom(const QString& name, const QString& folder) {
    ClearPrimary();
    idReload->setEnabled(false);
    const WaitCursor hourglass;
    PrimaryFileName = NativeName(name);
    primaryFolder = folder;
    setWindowTitle(ApplicationTitle + QLatin1Char(':') + WithoutFolder(name));

    // Reload after a secondary open moved the current directory: the file is still the one in
    // the folder it was first loaded from.
    const QString fullPath = FullPath(folder, name);
    const bool elsewhere = QDir::isRelativePath(name) && QDir(folder) != QDir::current();
    bool decoded;
    try {
        const DecodingScope decode(*this);
        LinesTo text(lbPrim);
        WindowPrompts prompts(dialogs, this);
        decoded = DecodeFile(NativeName(elsewhere ? fullPath : name), true, text.Lines(), prompts);
    } catch (const SilentAbort&) {
        // The choice of subset was cancelled (only a message of several asks): a reload is how
        // to choose again.
        idReload->setEnabled(true);
        throw;
    }
    if (!decoded) {
        Message(name + QStringLiteral(" ашипка!"));
        return false;
    }

    Charts->FillPrimarySeries(UAPrimary);
    Diagram->ShowSoundings(&UAPrimary, SecondaryLoaded() ? &UASecondary : nullptr);
    QString caption = ApplicationTitle + QLatin1Char(':') + BaseNameText(PrimaryBaseName);
    if (SecondaryLoaded()) caption += QLatin1Char('/') + FromNative(FileNameNoExt(SecondaryFileName));
    setWindowTitle(caption);
    idReload->setEnabled(UAPrimary.SubsetCount() > 1);
    RecentFiles->Add(fullPath);
    idRecent->setEnabled(RecentFiles->Count() > 0);
    for (Field item : LoadedItems) (this->*item)->setEnabled(true);
    idSecEol->setEnabled(false);
    for (Field item : TrajectoryItems) (this->*item)->setEnabled(Charts->XYSeries->Count() > 1);
    PageControlTUChange();
    return true;
}

bool TfmMainFrm::ExecuteOpenDialog() {
    if (!dialogs.OpenFile(this, OpnDlgFlights)) return false;
    // As the platform's dialog does when it is not told to keep the current directory.
    QDir::setCurrent(FolderOf(OpnDlgFlights.fileName));
    return true;
}

void TfmMainFrm::idPrimaryClick() {
    OpnDlgFlights.fileName.clear();
    if (!ExecuteOpenDialog()) return;
    const QString chosen = OpnDlgFlights.fileName;
    // The dialog made the file's folder the current directory: the bare name designates it.
    if (LoadPrimary(WithoutFolder(chosen)))
        OpnDlgFlights.initialDir = FolderOf(chosen);
    else
        dialogs.Beep();
    PageControlTU->SetActivePage(tsPrimary);
    lbPrim->setFocus();
}

void TfmMainFrm::idReloadClick() {
    LoadPrimaryFrom(FromNative(PrimaryFileName), PrimaryFolder());
}

void TfmMainFrm::RecentFileClick(QObject* sender) {
    const auto* item = qobject_cast<QAction*>(sender);
    if (item == nullptr) return;
    LoadPrimary(TROFMenu::PathOf(item));
}

void TfmMainFrm::idSecondaryClick() {
    if (!ExecuteOpenDialog()) return;
    const QString path = OpnDlgFlights.fileName;
    const WaitCursor hourglass;
    bool decoded;
    {
        const DecodingScope decode(*this);
        LinesTo text(lbSec);
        WindowPrompts prompts(dialogs, this);
        decoded = DecodeFile(NativeName(path), false, text.Lines(), prompts);
    }
    if (!decoded) {
        Message(path + QStringLiteral(" ашипка!"));
        return;
    }
    // Only a sounding that is shown gives its name to the caption.
    SecondaryFileName = NativeName(WithoutFolder(path));
    idClearSecondary->setEnabled(true);
    Charts->UndoZoomAll();
    Charts->ClearSecondarySeries();
    Charts->FillSecondarySeries(UASecondary);
    Diagram->ShowSoundings(PrimaryLoaded() ? &UAPrimary : nullptr, &UASecondary);
    setWindowTitle(ApplicationTitle + QLatin1Char('-') + BaseNameText(PrimaryBaseName) + QLatin1Char('/') +
                   BaseNameText(SecondaryBaseName));
    PageControlTU->SetActivePage(tsSec);
    PageControlTUChange();   // «Вторичный» may have been the page already: no change of page ran it
    lbSec->setFocus();
}

void TfmMainFrm::idClearSecondaryClick() {
    setWindowTitle(ApplicationTitle + QLatin1Char(':') + BaseNameText(PrimaryBaseName));
    SecondaryBaseName.clear();
    SecondaryFileName.clear();
    Charts->UndoZoomAll();
    lbSec->Clear();
    Charts->ClearSecondarySeries();
    Diagram->ClearSecondary();
    idClearSecondary->setEnabled(false);
    PageControlTUChange();   // the page «Вторичный» is empty now
}

void TfmMainFrm::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data->hasUrls() && !data->urls().isEmpty() && data->urls().constFirst().isLocalFile())
        event->acceptProposedAction();
}

void TfmMainFrm::dropEvent(QDropEvent* event) {
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    // The drop ends before the load starts, as the desktop expects.
    QTimer::singleShot(0, this, [this, files] { RunCommand([this, &files] { WMDropFiles(files); }); });
}

void TfmMainFrm::WMDropFiles(const QStringList& files) {
    if (files.isEmpty()) return;
    LoadPrimary(files.constFirst());
}

bool TfmMainFrm::WMCopyData(quint64 identifier, const QByteArray& data) {
    if (identifier == CopyDataServer::CopyDataProbe) return true;
    if (identifier == CopyDataServer::CopyDataRaise) {
        BringToFront();
        return true;
    }
    if (identifier != CopyDataServer::CopyDataOpenFile) return false;
    const qsizetype end = data.indexOf('\0');
    const QString name = QFile::decodeName(end < 0 ? data : data.left(end));
    if (decoding)
        LoadLater(name);
    else
        RunCommand([this, &name] { LoadPrimary(name); });
    return true;
}

void TfmMainFrm::BringToFront() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void TfmMainFrm::LoadLater(const QString& name) {
    pendingLoads << name;
}

void TfmMainFrm::LoadPending() {
    if (decoding || pendingLoads.isEmpty()) return;
    const QString name = pendingLoads.takeFirst();
    RunCommand([this, &name] { LoadPrimary(name); });   // its decode's end takes up the next
}

bool TfmMainFrm::ListenForRunningCopies(const QString& serverName) {
    delete copyDataServer;
    copyDataServer = new CopyDataServer(
        [this](quint64 identifier, const QByteArray& data) { return WMCopyData(identifier, data); }, this);
    return copyDataServer->Listen(serverName);
}
