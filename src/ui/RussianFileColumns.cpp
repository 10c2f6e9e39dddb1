#include "ui/RussianFileColumns.h"

#include <QDateTime>
#include <QFileSystemModel>
#include <QLocale>

namespace {

// The columns of Qt's file system model.
constexpr int SizeColumn = 1;
constexpr int TypeColumn = 2;
constexpr int DateColumn = 3;

constexpr const char* LargerUnits[] = {"КБ", "МБ", "ГБ", "ТБ"};

QLocale Russian() { return QLocale(QLocale::Russian, QLocale::Russia); }

}  // namespace

QString RussianFileSize(qint64 bytes) {
    if (bytes < 1024) return QStringLiteral("%1 байт").arg(bytes);
    double value = static_cast<double>(bytes);
    const char* unit = LargerUnits[0];
    for (const char* larger : LargerUnits) {
        if (value < 1024) break;
        value /= 1024;
        unit = larger;
    }
    return Russian().toString(value, 'f', 2) + QLatin1Char(' ') + QString::fromUtf8(unit);
}

QVariant RussianFileColumns::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || files == nullptr || !index.isValid())
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    switch (index.column()) {
    case SizeColumn:
        return files->isDir(source) ? QString() : RussianFileSize(files->size(source));
    case TypeColumn: {
        if (files->isDir(source)) return QStringLiteral("Папка");
        const QString suffix = files->fileInfo(source).suffix().toUpper();
        return suffix.isEmpty() ? QStringLiteral("Файл") : QStringLiteral("Файл ") + suffix;
    }
    case DateColumn:
        return Russian().toString(files->lastModified(source), QStringLiteral("dd.MM.yyyy HH:mm"));
    default:
        return QIdentityProxyModel::data(index, role);
    }
}
