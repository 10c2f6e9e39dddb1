#pragma once
// The size, type and date columns of the file dialogs in Russian. Qt's file system model words
// them by the system locale ("766 bytes", "4.96 KiB", "unknown", "11 Dec 2026"), which under a
// C or English session is English; the program speaks Russian whatever the session's language.
#include <QIdentityProxyModel>

class RussianFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override;
};

// "766 байт", "4,96 КБ", "107,42 КБ", "4,77 МБ": units of 1024 as the file size column shows them.
QString RussianFileSize(qint64 bytes);
