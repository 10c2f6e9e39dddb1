// «Экспорт траектории»: the flight of the primary sounding as a KML document and as the Google
// and Yandex static-map pages. The documents come from products; the window asks for the file,
// writes it whole and reports.
#include "app/DecodeDriver.h"
#include "products/StaticMapPages.h"
#include "products/TrajectoryKml.h"
#include "ui/MainFrm.h"
#include "ui/WindowFileNames.h"

void TfmMainFrm::idKMLClick() {
    const auto file = ExecuteSaveDialog(BaseNameText(PrimaryBaseName) + QStringLiteral(".kml"),
                                        QStringLiteral("Сохранить траекторию на Google Земля"));
    if (!file) return;
    WriteOrReport(*file, [] { return TrajectoryKml(UAPrimary, PrimaryBaseName, PrimaryFileName); },
                  QStringLiteral("KML ашипка!"));
    Message(QStringLiteral("KML OK!"));
}

void TfmMainFrm::idGMStaticClick() {
    const auto file = ExecuteSaveDialog(BaseNameText(PrimaryBaseName) + QStringLiteral("g.htm"),
                                        QStringLiteral("Сохранить траекторию на Google.Карты(статика)"));
    if (!file) return;
    WriteOrReport(*file, [] { return GoogleStaticMapPage(UAPrimary, PrimaryBaseName, PrimaryFileName); },
                  QStringLiteral("Google статика ашипка!"));
    Message(QStringLiteral("Google статика  OK!"));
}

// The messages of the Yandex export begin with the Latin Y.
void TfmMainFrm::idYMStaticClick() {
    const auto file = ExecuteSaveDialog(BaseNameText(PrimaryBaseName) + QStringLiteral("y.htm"),
                                        QStringLiteral("Сохранить траекторию на Яндекс.Карты(статика)"));
    if (!file) return;
    bool incomplete = false;
    WriteOrReport(*file,
                  [&incomplete] {
                      YandexPage page = YandexStaticMapPage(UAPrimary, PrimaryFileName);
                      incomplete = page.incomplete;
                      return std::move(page.bytes);
                  },
                  QStringLiteral("Yандекс статика ашипка!"));
    Message(incomplete ? QStringLiteral("Yандекс статика - экспорт неполный!") : QStringLiteral("Yандекс статика OK!"));
}
