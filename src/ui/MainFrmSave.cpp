// The window's shared save dialog and the writing of the files its commands save and export.
#include "core/FileWriter.h"
#include "ui/MainFrm.h"
#include "ui/WindowFileNames.h"

std::optional<QString> TfmMainFrm::ExecuteSaveDialog(const QString& proposedName, const QString& title) {
    SvDlgData.fileName = proposedName;
    SvDlgData.title = title;
    if (!dialogs.SaveFile(this, SvDlgData)) return std::nullopt;
    SvDlgData.initialDir = FolderOf(SvDlgData.fileName);
    return SvDlgData.fileName;
}

void TfmMainFrm::WriteOrReport(const QString& fileName, const std::function<std::string()>& make,
                               const QString& failureText) {
    try {
        WriteWholeFile(NativeName(fileName), make());
    } catch (...) {
        Message(failureText);
        throw;
    }
}
