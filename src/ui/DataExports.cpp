// «Экспорт данных»: the primary sounding as the JSON and CSV documents of the batch commands. The
// documents come from products; the window asks for the file, writes it whole and reports.
#include "app/DecodeDriver.h"
#include "products/SoundingCsv.h"
#include "products/SoundingJson.h"
#include "ui/MainFrm.h"
#include "ui/WindowFileNames.h"

void TfmMainFrm::idJSONClick() {
    const auto file = ExecuteSaveDialog(BaseNameText(PrimaryBaseName) + QStringLiteral(".json"),
                                        QStringLiteral("Сохранить данные зондирования в JSON"));
    if (!file) return;
    WriteOrReport(*file, [] { return SoundingJsonText(UAPrimary, PrimarySource); }, QStringLiteral("JSON ашипка!"));
    Message(QStringLiteral("JSON OK!"));
}

void TfmMainFrm::idCSVClick() {
    const auto file = ExecuteSaveDialog(BaseNameText(PrimaryBaseName) + QStringLiteral(".csv"),
                                        QStringLiteral("Сохранить уровни зондирования в CSV"));
    if (!file) return;
    WriteOrReport(*file, [] { return SoundingCsvText(UAPrimary); }, QStringLiteral("CSV ашипка!"));
    Message(QStringLiteral("CSV OK!"));
}
