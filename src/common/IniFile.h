#pragma once
// INI files with the Windows profile rules.
//
// - Section and key names are matched without regard to letter case; the first matching
//   section and the first matching key in it win. Key lines before the first section belong to
//   no section and are never found.
// - A key line is split at its first "="; name and value are trimmed; a value enclosed in a
//   matching pair of double or single quotes loses them. Lines beginning with ";" are comments;
//   lines without "=" are neither keys nor comments, and are kept as they are.
// - Writing a key replaces that one line ("Key=value", keeping the file's spelling of the key),
//   appends a missing key after the last key of its section (after the section line when it has
//   none) and a missing section at the end of the file; every other line, key and comment stays
//   as it was. Line breaks inside a written name or value become blanks, so a value can never
//   add lines to the file.
// - The file is code page 1250 with CR LF line ends; it is read with any line ends, and a file
//   that an editor saved as UTF-8 or UTF-16 with a byte-order mark is read as such (and saved
//   as code page 1250). Nothing reaches the disk before Save(), which replaces the file whole
//   (a crash or a full disk leaves the previous file intact).
//
// A missing file reads as empty; it is not an error.
#include <QString>
#include <QStringList>
#include <QVector>

class QIODevice;

// One key line of a profile: its section and key as spelt in the file, its value as written
// (trimmed, quotes kept).
struct TIniEntry {
    QString section;
    QString key;
    QString value;
};

class TIniFile {
public:
    TIniFile() = default;
    explicit TIniFile(const QString& fileName);  // loads the file

    // Reads the file again (a missing file gives an empty profile). False only when the file
    // exists but cannot be read; the profile is then empty.
    bool Load();
    // Writes the whole profile to FileName() atomically. False when it could not be written
    // (missing folder, read-only file, full disk); the file on disk is then the previous one.
    bool Save() const;
    // Writes the profile's bytes (code page 1250, CR LF) to an open device; false on a failed write.
    bool Write(QIODevice& device) const;

    const QString& FileName() const { return FFileName; }
    void SetFileName(const QString& fileName) { FFileName = fileName; }

    QString ReadString(const QString& section, const QString& key, const QString& def = QString()) const;
    // The value as the line holds it (trimmed, quotes kept); def when the key is missing.
    QString ReadRawString(const QString& section, const QString& key, const QString& def = QString()) const;
    // Decimal with an optional sign, or hexadecimal after "0x"/"$" (up to 32 bits, so
    // "$FFFFFFFF" is -1); anything else, also "12abc" or a number out of range, gives def.
    int ReadInteger(const QString& section, const QString& key, int def = 0) const;
    // ReadInteger(...) != 0, with def standing for 1 or 0.
    bool ReadBool(const QString& section, const QString& key, bool def = false) const;

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    QStringList Sections() const;                    // in file order, as spelt in the file, each once
    QStringList Keys(const QString& section) const;  // of the first such section, in file order, each once
    // Every key line under a section line, in file order, also those of a repeated section and
    // repeated keys (which lookups never reach).
    QVector<TIniEntry> Entries() const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);  // "1" / "0"
    void DeleteKey(const QString& section, const QString& key);
    void EraseSection(const QString& section);  // every section of that name

    // The profile as the file's lines (without line ends), for tests and tools.
    const QStringList& Lines() const { return FLines; }
    void SetText(const QString& text);  // replaces the profile with these lines

private:
    struct Range { int header = -1; int end = -1; };  // header line, one past the section's last line
    Range FindSection(const QString& section) const;
    int FindKey(const Range& r, const QString& key) const;

    QString FFileName;
    QStringList FLines;
};

// Splits "name=value" at the first "=", trimming both; false for lines that are not key lines.
bool SplitIniLine(const QString& line, QString* name, QString* value);
