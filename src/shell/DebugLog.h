#pragma once
#include <QDateTime>
#include <QString>
#include <functional>
#include <stdexcept>

// Raised by AppendLineToFile when the line cannot be written (file locked, disk full).
class EFileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Appends text + CR LF to the file. Does nothing when the file's folder does not exist;
// creates the file when it is missing. Throws EFileWriteError when the write fails.
void AppendLineToFile(const QString& fileName, const QString& line);

// Appends "[yyyy.mm.dd hh:nn:ss.zzz] message " + CR LF to Data/debug.txt (code page 1250).
// Writes nothing when the Data folder is missing. Throws EFileWriteError as above.
void WriteDebugLog(const QString& message);

// The line WriteDebugLog writes for a message at a moment (without the line end).
QString DebugLogLine(const QDateTime& when, const QString& message);

// The clock behind the log, replaceable in tests.
using TClock = std::function<QDateTime()>;
void SetDebugLogClock(TClock clock);  // empty restores the system clock
