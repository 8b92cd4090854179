// Exceptions that escape event handlers: logged as "Exception:" + text, the program goes on,
// and a log that cannot be written neither ends the program nor loops.
#include "TestSupport.h"
#include "Paths.h"
#include "dMain.h"

#include <QDir>
#include <QTimer>
#include <cstdio>
#include <stdexcept>

namespace {
int failures = 0;
void Check(bool ok, const char* what)
{
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
    if (!ok) ++failures;
}
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TKeloBoltApplication app(argc, argv);
    TTempProgramDir dir;
    CreateStartupFolders();

    int after = 0;
    QTimer::singleShot(0, [] { throw std::runtime_error("boom"); });
    QTimer::singleShot(5, [&] { ++after; });
    QTimer::singleShot(20, [&] {
        Check(dir.Read("Data/debug.txt").endsWith("] Exception:boom \r\n"), "the exception is logged with its text");
        Check(after == 1, "the program goes on after the failing handler");
        // The log cannot be written: a folder stands where the file should be.
        QFile::remove(dir.File("Data/debug.txt"));
        QDir().mkpath(dir.File("Data/debug.txt"));
        QTimer::singleShot(0, [] { throw std::runtime_error("second"); });
        QTimer::singleShot(10, [&] {
            ++after;
            app.quit();
        });
    });
    app.exec();
    Check(after == 2, "a failing log write does not end the program");
    std::printf("%d passed, %d failed\n", 3 - failures, failures);
    return failures ? 1 : 0;
}
