#include "ui/ROFMenu.h"

#include <QAction>
#include <QMenu>

#include "ui/IniFile.h"

TROFMenu::TROFMenu(QMenu* parent, ClickHandler clickHandler)
    : parent(parent), clickHandler(std::move(clickHandler)) {}

QString TROFMenu::PathOf(const QAction* item) {
    return item->text().mid(3).replace(QStringLiteral("&&"), QStringLiteral("&"));
}

QString TROFMenu::Path(int index) const {
    return PathOf(items[index]);
}

void TROFMenu::SetEntry(int index, const QString& path) {
    items[index]->setText(QStringLiteral("&%1.").arg(index + 1) + QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")));
}

void TROFMenu::Add(const QString& path) {
    if (path.isEmpty()) return;
    for (int i = 0; i < count; ++i)
        if (Path(i) == path) return;
    if (count < MaxEntries) {
        QAction* item = new QAction(parent);
        QObject::connect(item, &QAction::triggered, item, [handler = clickHandler, item] { handler(item); });
        parent->addAction(item);
        items[count++] = item;
    } else {
        for (int i = 0; i + 1 < MaxEntries; ++i) SetEntry(i, Path(i + 1));
    }
    SetEntry(count - 1, path);
    items[count - 1]->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key(Qt::Key_0 + count - 1)));
}

void TROFMenu::LoadFromIni(const IniFile& ini, const QString& section) {
    const int n = ini.ReadInteger(section, QStringLiteral("N"), 0);
    if (n <= 0) return;
    for (int i = 0; i < std::min(n, MaxEntries); ++i) Add(ini.ReadString(section, QString::number(i), QString()));
}

void TROFMenu::SaveToIni(IniFile& ini, const QString& section) const {
    ini.WriteInteger(section, QStringLiteral("N"), count);
    for (int i = 0; i < count; ++i) ini.WriteString(section, QString::number(i), Path(i));
}
