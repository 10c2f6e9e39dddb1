#pragma once
// File names as the window handles them. Names are octets on this system; the window shows them
// as the locale's text (UTF-8) and hands the decoder the octets.
#include <string>

#include <QString>

std::string NativeName(const QString& name);
QString FromNative(const std::string& name);

// A base name for the caption: the file's name when it came from the file name, the station's
// characters as the message holds them (Windows-1251 where they are not ASCII) when it came from
// the data.
QString BaseNameText(const std::string& name);

// The name after the last '/'.
QString WithoutFolder(const QString& name);
// The absolute folder of a file.
QString FolderOf(const QString& fullPath);
// name taken in folder (a full name stays as it is), cleaned of "." and "..".
QString FullPath(const QString& folder, const QString& name);
