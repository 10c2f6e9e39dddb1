#include "ui/WindowFileNames.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "core/Cp1251.h"

std::string NativeName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

QString FromNative(const std::string& name) {
    return QFile::decodeName(QByteArray::fromStdString(name));
}

QString BaseNameText(const std::string& name) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(QByteArrayView(name.data(), static_cast<qsizetype>(name.size())));
    if (!utf8.hasError()) return text;
    return QString::fromStdString(Cp1251ToUtf8(name));
}

QString WithoutFolder(const QString& name) {
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? name : name.mid(slash + 1);
}

QString FolderOf(const QString& fullPath) {
    return QFileInfo(fullPath).absolutePath();
}

QString FullPath(const QString& folder, const QString& name) {
    return QDir::cleanPath(QDir(folder).absoluteFilePath(name));
}
