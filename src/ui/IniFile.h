#pragma once
// The configuration file: an ini file of "[Section]" lines followed by "Key=Value" lines.
//
// - Section and key names are matched without regard to letter case; the first section and the
//   first key of a name count.
// - Names and values are trimmed of blanks and tabs; lines starting with ';' are comments.
// - A string is read up to 2047 characters; a missing section or key reads as the default.
// - An integer is decimal, or hexadecimal after "0x" or "$", with an optional sign, in the range
//   of a 32-bit integer; any other text reads as the default. A boolean is an integer, 0 false and
//   anything else true, and is written "1" or "0".
// - Writes change the text in memory, keeping every other line, comment and key as it was;
//   UpdateFile stores it. The file is Windows-1251 text with CR LF line ends; lines ended by LF
//   alone read as well.
#include <QByteArray>
#include <QList>
#include <QString>

class IniFile {
public:
    static constexpr int MaxValueLength = 2047;

    // Reads the file; a missing or unreadable file gives an empty one.
    explicit IniFile(QString fileName);

    const QString& FileName() const { return fileName; }
    // The next UpdateFile stores into target instead, whatever it holds (the text read so far came
    // from another file, such as defaults that a user may not change).
    void StoreInto(QString target);

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;

    // A value holding a line break, or a character that Windows-1251 lacks, cannot be stored as it
    // is: the key is removed instead, so that it reads as its default rather than as another text.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

    // Stores the text when it differs from what the file holds, whole or not at all
    // (WriteWholeFile); throws TavikError "Unable to write to <file name>" when that fails, and the
    // file then stays as it was.
    void UpdateFile();

    // The integer rule on its own: true and the value when text is an integer.
    static bool ParseInteger(const QString& text, int& value);

private:
    struct KeyLine {
        qsizetype line = -1;   // index in lines, -1 when missing
        QString value;
    };
    qsizetype FindSection(const QString& section) const;   // index of the "[...]" line, or -1
    qsizetype SectionEnd(qsizetype sectionLine) const;      // index of the next section line or the end
    KeyLine FindKey(const QString& section, const QString& key) const;

    QString fileName;
    QList<QByteArray> lines;   // without their line ends
    QByteArray stored;         // the file's content as read; UpdateFile skips an identical write
    bool existed = false;
};
