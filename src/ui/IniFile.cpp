#include "ui/IniFile.h"

#include <limits>

#include <QFile>

#include "core/Cp1251.h"
#include "core/Errors.h"
#include "core/FileWriter.h"

namespace {

QByteArray TrimBlanks(QByteArray text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    return text.mid(begin, end - begin);
}

QString FromFile(const QByteArray& cp1251) {
    return QString::fromStdString(Cp1251ToUtf8(std::string_view(cp1251.constData(), cp1251.size())));
}

// The text in the file's code page; false when a character of it has no place there.
bool ToFile(const QString& text, QByteArray& cp1251) {
    const QByteArray utf8 = text.toUtf8();
    const std::string bytes = Utf8ToCp1251(std::string_view(utf8.constData(), utf8.size()));
    cp1251 = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return FromFile(cp1251) == text;
}

bool SameName(const QByteArray& cp1251, const QString& name) {
    return FromFile(cp1251).compare(name, Qt::CaseInsensitive) == 0;
}

// The name of a "[Name]" line (up to ']' or the end of the line), or false for other lines.
bool SectionName(const QByteArray& line, QByteArray& name) {
    const QByteArray trimmed = TrimBlanks(line);
    if (!trimmed.startsWith('[')) return false;
    const qsizetype close = trimmed.indexOf(']');
    name = TrimBlanks(trimmed.mid(1, close < 0 ? -1 : close - 1));
    return true;
}

// Key and value of a "Key=Value" line, or false for blank lines, comments and lines without '='.
bool KeyValue(const QByteArray& line, QByteArray& key, QByteArray& value) {
    const QByteArray trimmed = TrimBlanks(line);
    if (trimmed.isEmpty() || trimmed.startsWith(';')) return false;
    const qsizetype eq = trimmed.indexOf('=');
    if (eq < 0) return false;
    key = TrimBlanks(trimmed.left(eq));
    value = TrimBlanks(trimmed.mid(eq + 1));
    return true;
}

// The first MaxValueLength characters (code points, a surrogate pair counting once).
QString Truncated(const QString& value) {
    qsizetype units = 0;
    for (int chars = 0; units < value.size() && chars < IniFile::MaxValueLength; ++chars)
        units += value[units].isHighSurrogate() && units + 1 < value.size() ? 2 : 1;
    return value.left(units);
}

}  // namespace

IniFile::IniFile(QString fileName) : fileName(std::move(fileName)) {
    QFile file(this->fileName);
    if (!file.open(QIODevice::ReadOnly)) return;
    existed = true;
    stored = file.readAll();
    lines = stored.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
}

void IniFile::StoreInto(QString target) {
    if (target == fileName) return;
    fileName = std::move(target);
    existed = false;
}

qsizetype IniFile::FindSection(const QString& section) const {
    QByteArray name;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (SectionName(lines[i], name) && SameName(name, section)) return i;
    return -1;
}

qsizetype IniFile::SectionEnd(qsizetype sectionLine) const {
    QByteArray name;
    qsizetype i = sectionLine + 1;
    while (i < lines.size() && !SectionName(lines[i], name)) ++i;
    return i;
}

IniFile::KeyLine IniFile::FindKey(const QString& section, const QString& key) const {
    const qsizetype start = FindSection(section);
    if (start < 0) return {};
    const qsizetype end = SectionEnd(start);
    QByteArray name, value;
    for (qsizetype i = start + 1; i < end; ++i)
        if (KeyValue(lines[i], name, value) && SameName(name, key)) return {i, FromFile(value)};
    return {};
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const {
    const KeyLine found = FindKey(section, key);
    return Truncated(found.line < 0 ? defaultValue : found.value);
}

bool IniFile::ParseInteger(const QString& text, int& value) {
    QString digits = text.trimmed();
    bool negative = false;
    if (digits.startsWith(QLatin1Char('-')) || digits.startsWith(QLatin1Char('+'))) {
        negative = digits[0] == QLatin1Char('-');
        digits.remove(0, 1);
    }
    int base = 10;
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        digits.remove(0, 2);
    } else if (digits.startsWith(QLatin1Char('$'))) {
        base = 16;
        digits.remove(0, 1);
    }
    if (digits.isEmpty()) return false;
    qint64 magnitude = 0;
    for (QChar c : digits) {
        const int digit = c.isDigit() && c.unicode() < 0x80 ? c.unicode() - '0'
                          : base == 16 && c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')
                              ? c.toLower().unicode() - 'a' + 10
                              : -1;
        if (digit < 0 || digit >= base) return false;
        magnitude = magnitude * base + digit;
        if (magnitude > qint64{1} << 31) return false;
    }
    const qint64 signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(signedValue);
    return true;
}

int IniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    int value;
    return ParseInteger(ReadString(section, key, QString()), value) ? value : defaultValue;
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    const KeyLine found = FindKey(section, key);
    QByteArray sectionText, keyText, valueText;
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')) || !ToFile(value, valueText) ||
        !ToFile(section, sectionText) || !ToFile(key, keyText)) {
        if (found.line >= 0) lines.removeAt(found.line);
        return;
    }
    const QByteArray line = keyText + '=' + valueText;
    if (found.line >= 0) {
        lines[found.line] = line;
        return;
    }
    qsizetype start = FindSection(section);
    if (start < 0) {
        lines.append('[' + sectionText + ']');
        start = lines.size() - 1;
    }
    // After the section's last non-blank line, so that blank lines between sections stay.
    qsizetype at = SectionEnd(start);
    while (at > start + 1 && TrimBlanks(lines[at - 1]).isEmpty()) --at;
    lines.insert(at, line);
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void IniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::UpdateFile() {
    QByteArray text;
    for (const QByteArray& line : lines) text += line + "\r\n";
    if (existed && text == stored) return;
    try {
        WriteWholeFile(QFile::encodeName(fileName).toStdString(), std::string_view(text.constData(), text.size()));
    } catch (const FileWriteError&) {
        throw TavikError(QStringLiteral("Unable to write to %1").arg(fileName).toStdString());
    }
    stored = text;
    existed = true;
}
