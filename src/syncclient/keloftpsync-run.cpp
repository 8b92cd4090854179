// keloftpsync-run [CONFIG]: runs every active item of the sync client's configuration once, in
// order, writes the day's log as the client does and prints its lines. CONFIG is a bare name of
// a file in the program folder or a path to a file; without it the client's default is used.
// Exit code 0, or 1 when the configuration cannot be read.
#include "FileLookup.h"
#include "ProgramDir.h"
#include "UtilConsoleSync.h"
#include "UtilSyncConfig.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {
void Print(FILE* to, const QString& line)
{
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.size() > 1) {
        Print(stderr, QStringLiteral("Használat: keloftpsync-run [BEÁLLÍTÁSI_FÁJL]"));
        return 1;
    }
    QString file;
    if (args.isEmpty()) {
        file = SyncConfigFileName(QStringList());
    } else {
        const QString a = args.first();
        const bool bare = !a.contains(QLatin1Char('/')) && !a.contains(QLatin1Char('\\'));
        if (bare && FileExistsCI(ProgramDir() + a)) file = FindFileCI(ProgramDir() + a);
        else if (QFileInfo(a).isFile()) file = QFileInfo(a).absoluteFilePath();
        else {
            Print(stderr, QStringLiteral("A beállítási fájl nem található: %1").arg(a));
            return 1;
        }
    }

    SetSyncLogEcho([](const QString& line) { Print(stdout, line); });
    TBeallitas beallitas;
    try {
        beallitas = ReadSyncConfig(file);
    } catch (const ESyncConfigError& e) {
        WriteSyncLog(QStringLiteral("Beállítási hiba, a szinkronizálás nem indul: ") + e.Message(), true);
        return 1;
    }
    StopRequested = false;
    TConsoleSync sync;
    for (const TFTPSyncItem& item : ActiveItems(beallitas)) {
        try {
            sync.SyncItem(item);
        } catch (...) {
        }
    }
    return 0;
}
