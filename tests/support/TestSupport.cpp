#include "TestSupport.h"

#include "ProgramDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

TTempProgramDir::TTempProgramDir() : FDir(new QTemporaryDir(QDir::tempPath() + QStringLiteral("/kbtest-XXXXXX")))
{
    if (!FDir->isValid()) throw std::runtime_error("cannot create a temporary folder");
    SetProgramDirOverride(FDir->path());
}

TTempProgramDir::~TTempProgramDir()
{
    SetProgramDirOverride(QString());
}

QString TTempProgramDir::Path() const
{
    return FDir->path() + QLatin1Char('/');
}

void TTempProgramDir::Write(const QString& relative, const QByteArray& bytes) const
{
    const QString full = File(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + full.toStdString());
}

QByteArray TTempProgramDir::Read(const QString& relative) const
{
    QFile f(File(relative));
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.readAll();
}

QString BuiltProgram(const QString& name)
{
    QString bin = QString::fromLocal8Bit(qgetenv("KB_BIN_DIR"));
    if (bin.isEmpty()) bin = QStringLiteral(KB_DEFAULT_BIN_DIR);
    return bin + QLatin1Char('/') + name;
}

QString SourceFile(const QString& relative)
{
    QString src = QString::fromLocal8Bit(qgetenv("KB_SOURCE_DIR"));
    if (src.isEmpty()) src = QStringLiteral(KB_DEFAULT_SOURCE_DIR);
    return src + QLatin1Char('/') + relative;
}

QString FixturePath(const QString& relative)
{
    return SourceFile(QStringLiteral("tests/fixtures/") + relative);
}

QString TTempProgramDir::CopyProgram(const QString& name) const
{
    const QString target = File(name);
    QFile::remove(target);
    if (!QFile::copy(BuiltProgram(name), target)) throw std::runtime_error("cannot copy program " + name.toStdString());
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return target;
}

TRecordingMessages::TRecordingMessages() { SetMessageHandler(this); }
TRecordingMessages::~TRecordingMessages()
{
    if (MessageHandler() == this) SetMessageHandler(nullptr);
}

void TRecordingMessages::ShowMsg(const QString& title, const QString& text, int width, int height)
{
    shown.append({QStringLiteral("ShowMsg"), title, text, width, height});
}

bool TRecordingMessages::ConfirmMsg(const QString& title, const QString& text, int width, int height)
{
    shown.append({QStringLiteral("ConfirmMsg"), title, text, width, height});
    if (confirmAnswers.isEmpty()) return false;
    return confirmAnswers.takeFirst();
}

void TRecordingMessages::ShowWaitMessage(const QString& title, const QString& text)
{
    shown.append({QStringLiteral("Wait"), title, text, 0, 0});
    waitVisible = true;
}

void TRecordingMessages::HideWaitMessage()
{
    shown.append({QStringLiteral("HideWait"), QString(), QString(), 0, 0});
    waitVisible = false;
}
