#include "ui/AboutContent.h"

#include <QDir>
#include <QFileInfo>

#include "AboutSettings.h"

namespace {

// A configured address is shown as typed; a document of our own by its file name.
AboutLink DocumentLink(const char* configured, const QString& exeDir, const QString& fileName) {
    const QString address = QString::fromUtf8(configured);
    if (!address.isEmpty()) return {address, QUrl(address)};
    return {fileName, QUrl::fromLocalFile(InstalledDocument(exeDir, fileName))};
}

AboutLink EmailLink(const char* configured) {
    const QString address = QString::fromUtf8(configured);
    if (address.isEmpty()) return {};
    return {address, QUrl(QStringLiteral("mailto:") + address)};
}

}  // namespace

QString InstalledDocument(const QString& exeDir, const QString& fileName) {
    const QDir dir(exeDir);
    const QString candidates[] = {
        dir.absoluteFilePath(QStringLiteral("../share/doc/tavik/") + fileName),
        dir.absoluteFilePath(fileName),
    };
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isFile()) return QDir::cleanPath(candidate);
    return QDir::cleanPath(candidates[0]);
}

AboutContent DefaultAboutContent(const QString& exeDir) {
    return {
        QString::fromUtf8(about_settings::MakerLine),
        QString::fromUtf8(about_settings::CreditsLine),
        EmailLink(about_settings::ContactEmail),
        DocumentLink(about_settings::HomePageUrl, exeDir, QStringLiteral("README.md")),
        DocumentLink(about_settings::UpdatePageUrl, exeDir, QStringLiteral("CHANGELOG.md")),
    };
}
