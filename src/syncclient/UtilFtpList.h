#pragma once
// Parsing of FTP folder listings and file masks for the sync client.
//
// ParseFtpListing reads the lines of a LIST answer (Unix "ls -l" and DOS/IIS forms, tried
// row by row from a table of line layouts) or of an MLSD answer. Lines that are blank, the
// "total N" line and the "." / ".." entries are skipped silently; any other line that no
// layout reads is counted in TFtpListing::UnreadableLines, so callers can refuse to draw
// conclusions (deletions) from a listing they did not understand.
//
// Names are decoded from UTF-8 when the bytes are valid UTF-8, else from code page 1250;
// RawName keeps the bytes as the server sent them, for addressing the file again.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

enum class TFtpEntryKind { File, Folder, Link };

struct TFtpListEntry {
    QString Name;
    QByteArray RawName;
    TFtpEntryKind Kind = TFtpEntryKind::File;
    qint64 Size = 0;
    QDateTime DateTime;  // local date-time; MLSD's UTC times are converted
};

struct TFtpListing {
    QVector<TFtpListEntry> Entries;
    int UnreadableLines = 0;
};

// now: the moment against which a year-less Unix date ("Jan 5 12:00") is placed: the latest
// such date that is not more than one day after now.
TFtpListing ParseFtpListing(const QByteArray& text, bool mlsd, const QDateTime& now = QDateTime::currentDateTime());

// One line of a LIST answer; false when no layout reads it. Skippable lines also answer false
// with *skip set.
bool ParseListLine(const QByteArray& line, const QDateTime& now, TFtpListEntry* entry, bool* skip);
bool ParseMlsdLine(const QByteArray& line, TFtpListEntry* entry, bool* skip);

// Mask matching, case-insensitive: "*" any run of characters, "?" one character, "[...]" one
// character of the set (ranges "a-z", a leading "!" negates). An unclosed "[" is literal.
bool MatchesMask(const QString& name, const QString& mask);

// A name that is safe to use as one file inside a local folder and as one remote path part:
// not empty, not "." or "..", no "/", "\" or control character.
bool IsSafeFileName(const QString& name);
