#pragma once
// The recent-files menu: up to nine primary files, oldest first, listed as the entries of a
// submenu. The list lives in the entries themselves: entry i has the caption "&<i+1>." followed by
// the file's full path and the shortcut Ctrl+Alt+<i>; the digit is the entry's accelerator, and an
// '&' of the path is doubled in the caption so that the menu shows it as it is. Paths are compared
// exactly (file names are case-sensitive here). The entries belong to the submenu; releasing the
// TROFMenu leaves them.
#include <array>
#include <functional>

#include <QString>

class IniFile;
class QAction;
class QMenu;
class QObject;

class TROFMenu {
public:
    static constexpr int MaxEntries = 9;
    using ClickHandler = std::function<void(QObject* sender)>;

    // parent is the submenu the entries are listed in; clickHandler receives the clicked entry.
    TROFMenu(QMenu* parent, ClickHandler clickHandler);

    // Adds a file at the end; an empty or already listed path changes nothing. With nine entries
    // the oldest path drops out and the others move up one place.
    void Add(const QString& path);
    // Reads the keys "N" and "0" to "8" of the section through Add.
    void LoadFromIni(const IniFile& ini, const QString& section);
    // Writes "N" and the keys "0" to N-1; higher keys already in the file stay as they are.
    void SaveToIni(IniFile& ini, const QString& section) const;

    int Count() const { return count; }
    QAction* Item(int index) const { return items[index]; }
    QString Path(int index) const;
    // The path an entry stands for: its caption after "&<digit>.", with "&&" read as '&'.
    static QString PathOf(const QAction* item);

private:
    void SetEntry(int index, const QString& path);

    std::array<QAction*, MaxEntries> items{};
    quint16 count = 0;
    QMenu* parent;
    ClickHandler clickHandler;
};
