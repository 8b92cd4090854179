#pragma once
// Test helpers for logic code: a temporary program folder, the built programs, and a message
// handler that records what would have been shown and answers confirmations from a queue.
#include "Messages.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>
#include <memory>

// A fresh program folder; while it lives, ProgramDir() points at it.
class TTempProgramDir {
public:
    TTempProgramDir();
    ~TTempProgramDir();
    QString Path() const;  // with trailing "/"
    QString File(const QString& relative) const { return Path() + relative; }
    // Writes bytes to a file below the folder, creating its folders.
    void Write(const QString& relative, const QByteArray& bytes) const;
    QByteArray Read(const QString& relative) const;
    // Copies a built program (from the build's bin folder) into the folder; answers its path.
    QString CopyProgram(const QString& name) const;

private:
    std::unique_ptr<QTemporaryDir> FDir;
};

// The build's bin folder (KB_BIN_DIR, set by ctest) and the source tree (KB_SOURCE_DIR).
QString BuiltProgram(const QString& name);
QString SourceFile(const QString& relative);
QString FixturePath(const QString& relative);  // tests/fixtures/<relative>

struct TShownMessage {
    QString kind;  // "ShowMsg", "ConfirmMsg", "Wait", "HideWait"
    QString title;
    QString text;
    int width = 0;
    int height = 0;
};

class TRecordingMessages : public TMessageHandler {
public:
    TRecordingMessages();  // installs itself
    ~TRecordingMessages() override;  // uninstalls
    void ShowMsg(const QString& title, const QString& text, int width, int height) override;
    bool ConfirmMsg(const QString& title, const QString& text, int width, int height) override;
    void ShowWaitMessage(const QString& title, const QString& text) override;
    void HideWaitMessage() override;
    void ProcessMessages() override {}

    QVector<TShownMessage> shown;
    QVector<bool> confirmAnswers;  // taken from the front; false when empty
    bool waitVisible = false;
};
