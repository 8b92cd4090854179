#pragma once
// Starting outside programs and opening documents ("open" in the shell).
// Both go through replaceable handlers so tests can see what would have been started.
#include <QString>
#include <QStringList>
#include <functional>

enum class TShowMode { Normal, Hidden };

struct TStartRequest {
    QString program;        // full path of the executable
    QString parameters;     // the parameter text exactly as the caller built it
    TShowMode show = TShowMode::Normal;
};

// Starts the program detached, with the parameter text split into arguments at blanks
// (double quotes group). No working folder is set: the child inherits ours. True when the
// program was started; callers that ignore the result may.
bool StartProgram(const TStartRequest& request);
// Opens a web address or a file with the desktop's handler.
bool OpenDocument(const QString& urlOrFile);

using TStartHandler = std::function<bool(const TStartRequest&)>;
using TOpenHandler = std::function<bool(const QString&)>;
// Install a handler; an empty function restores the default.
void SetStartHandler(TStartHandler handler);
void SetOpenHandler(TOpenHandler handler);

// The parameter text as the started program receives it in its arguments.
QStringList SplitParameters(const QString& parameters);
