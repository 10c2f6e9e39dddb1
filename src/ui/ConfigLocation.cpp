#include "ui/ConfigLocation.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString ConfigName = QStringLiteral("TAVIK.CNF");

// Whether this user may create and replace files in the folder (the system's own rule: root may).
bool UserMayWrite(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

}  // namespace

ConfigFiles LocateConfig(const QString& exeDir, const QString& userConfigHome) {
    const QString beside = QDir(exeDir).filePath(ConfigName);
    if (UserMayWrite(exeDir)) return {beside, beside};
    const QString own = QDir(userConfigHome).filePath(QStringLiteral("tavik/") + ConfigName);
    if (QFileInfo::exists(own) || !QFileInfo::exists(beside)) return {own, own, true};
    return {beside, own, true};
}

ConfigFiles ConfigFilesIn(const QString& folder) {
    const QString file = QDir(folder).filePath(ConfigName);
    return {file, file};
}

QString UserConfigHome() {
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(configured)) return configured;
    return QDir::home().filePath(QStringLiteral(".config"));
}
