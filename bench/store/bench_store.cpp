// Product table benchmark: make-sample writes the master data, then in one run
//   cat termek.dbf > /dev/null, python3-dbfread reading every record,
//   RefreshProducts (load into the product table), refilter by name + source, sort by NEV,
//   CountRecords; with the time of each step and the memory of the table.
#include "Messages.h"
#include "ProgramDir.h"
#include "UtilDataSet.h"
#include "dMainData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {
qint64 StatusKb(const char* key)
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

double CpuNow()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Wall-clock and CPU time of a step: on a shared machine the CPU time is the steadier figure.
struct TStopwatch {
    QElapsedTimer Wall;
    double Cpu0 = 0;
    double CpuMs = 0;
    void start()
    {
        Cpu0 = CpuNow();
        Wall.start();
    }
    double nsecsElapsed() const { return double(Wall.nsecsElapsed()); }
};

double LastCpu = 0;
double Ms(TStopwatch& t)
{
    LastCpu = CpuNow() - t.Cpu0;
    return t.nsecsElapsed() / 1e6;
}

double Ms(QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

double Median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double RunShell(const QString& command)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start("/bin/sh", {"-c", command});
    p.waitForFinished(600000);
    return Ms(t);
}
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qint64 products = 100000;
    const QStringList args = app.arguments();
    bool peers = true;
    bool loadOnly = false;  // --load-only repeats the table load (for profiling)  // --no-peers skips cat and dbfread (for profiling)
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--products" && i + 1 < args.size()) products = args[i + 1].toLongLong();
        if (args[i] == "--no-peers") peers = false;
        if (args[i] == "--load-only") loadOnly = true;
    }
    QTemporaryDir dir;
    const QString admin = QCoreApplication::applicationDirPath() + "/kelobolt-admin";
    if (QProcess::execute(admin, {"make-sample", dir.path(), "--products", QString::number(products), "--seed", "1"}) != 0) {
        std::fprintf(stderr, "make-sample failed\n");
        return 1;
    }
    const QString file = dir.path() + "/Data/termek.dbf";
    const qint64 fileBytes = QFileInfo(file).size();
    std::printf("termek.dbf: %lld products, %.1f MB\n", products, fileBytes / 1e6);

    const double catMs = peers ? RunShell("cat '" + file + "' > /dev/null") : 0;
    QProcess py;
    if (peers) py.start("/usr/bin/python3", {"-c",
                                  "import dbfread, sys, time\n"
                                  "t = time.perf_counter(); c = time.process_time()\n"
                                  "n = sum(1 for r in dbfread.DBF(sys.argv[1]))\n"
                                  "print('%d %.1f %.1f' % (n, (time.perf_counter() - t) * 1000, (time.process_time() - c) * 1000))",
                                  file});
    if (peers) py.waitForFinished(600000);
    const QList<QByteArray> pyOut = py.readAllStandardOutput().trimmed().split(' ');
    const double dbfreadMs = pyOut.value(1).toDouble(), dbfreadCpu = pyOut.value(2).toDouble();

    SetProgramDirOverride(dir.path() + "/");
    if (loadOnly) {
        TMainData parts;
        for (int i = 0; i < 10; ++i) {
            TStopwatch p;
            p.start();
            parts.LoadDbfIntoMemory(parts.rxmdTermek, file);
            parts.dbfTemp.Close();
            const double wall = Ms(p);
            std::printf("load %.1f ms wall, %.1f ms cpu\n", wall, LastCpu);
        }
        return 0;
    }
    TMainData dm;
    // The parts of a refresh one by one (a warm-up for the file cache as well).
    double partCopy = 0, partMakers = 0, partBarcodes = 0, partCopyCpu = 0, partMakersCpu = 0, partBarcodesCpu = 0;
    {
        TMainData parts;
        TStopwatch p;
        p.start();
        parts.LoadDbfIntoMemory(parts.rxmdTermek, file);
        partCopy = Ms(p);
        partCopyCpu = LastCpu;
        TListSimpleID makers;
        p.start();
        LoadSimpleIDList(makers, &parts.dbfTemp, "UGYKOD", "UGYNEV");
        partMakers = Ms(p);
        partMakersCpu = LastCpu;
        TListVonalkod codes;
        p.start();
        LoadVonalkodList(parts.dbfTemp, codes);
        partBarcodes = Ms(p);
        partBarcodesCpu = LastCpu;
    }
    const qint64 rssBefore = StatusKb("VmRSS:");
    TStopwatch t;
    t.start();
    dm.RefreshProducts();
    const double loadMs = Ms(t), loadCpu = LastCpu;
    const qint64 rssAfter = StatusKb("VmRSS:");
    const qint64 peak = StatusKb("VmHWM:");
    const qint64 tableBytes = dm.rxmdTermek.MemoryUsage();

    TRxMemoryData& tab = dm.rxmdTermek;
    const int nev = tab.FieldIndex("NEV"), ceg = tab.FieldIndex("CEGKOD");
    QString needle = "bor";
    QString source = "C01";
    tab.SetOnFilterRecord([&](TDataSet& ds) {
        const qint64 r = ds.CurrentStoredRow();
        return tab.TextAt(r, ceg) == source && tab.TextAt(r, nev).contains(needle, Qt::CaseInsensitive);
    });
    QVector<double> filterRuns, filterCpu;
    t.start();
    tab.SetFiltered(true);
    filterRuns << Ms(t);
    filterCpu << LastCpu;
    const QStringList needles = {QStringLiteral("őr"), "kol", "bor", "lé", "tál"};
    const QStringList sources = {"C02", "C03", "C01", "C04", "C01"};
    for (int i = 0; i < needles.size(); ++i) {
        needle = needles[i];
        source = sources[i];
        t.start();
        tab.Refilter();
        filterRuns << Ms(t);
        filterCpu << LastCpu;
    }
    const int filtered = tab.RecordCount();
    tab.SetFiltered(false);
    QVector<double> sortRuns, sortCpu;
    for (int i = 0; i < 3; ++i) {
        tab.SortOnFields({});
        t.start();
        tab.SortOnFields({"NEV"});
        sortRuns << Ms(t);
        sortCpu << LastCpu;
    }
    t.start();
    const int count = CountRecords(&tab);
    const double countMs = Ms(t), countCpu = LastCpu;

    std::printf("%-46s %10s %10s\n", "step", "wall ms", "cpu ms");
    std::printf("%-46s %10.1f %10s\n", "cat termek.dbf > /dev/null", catMs, "-");
    std::printf("%-46s %10.1f %10.1f  (%s records)\n", "python3-dbfread, every record", dbfreadMs, dbfreadCpu, pyOut.value(0).constData());
    std::printf("%-46s %10.1f %10.1f  (%.1fx dbfread's time, cpu %.1fx)\n", "RefreshProducts: table + manufacturers + barcodes",
                loadMs, loadCpu, dbfreadMs / loadMs, dbfreadCpu / loadCpu);
    std::printf("%-46s %10.1f %10.1f  (%.1fx dbfread's time, cpu %.1fx)\n", "  termek.dbf into the product table", partCopy,
                partCopyCpu, dbfreadMs / partCopy, dbfreadCpu / partCopyCpu);
    std::printf("%-46s %10.1f %10.1f\n", "  manufacturer list", partMakers, partMakersCpu);
    std::printf("%-46s %10.1f %10.1f\n", "  barcode list (vonalkod.dbf)", partBarcodes, partBarcodesCpu);
    std::printf("%-46s %10.2f %10.2f  (median of %lld, last %d rows)\n", "refilter name contains + source", Median(filterRuns),
                Median(filterCpu), qlonglong(filterRuns.size()), filtered);
    std::printf("%-46s %10.1f %10.1f  (median of 3)\n", "sort by NEV", Median(sortRuns), Median(sortCpu));
    std::printf("%-46s %10.3f %10.3f  (%d rows)\n", "CountRecords", countMs, countCpu, count);
    std::printf("memory: product table %.1f MB = %.2fx the file; resident growth after RefreshProducts %.1f MB = %.2fx; "
                "peak resident %.1f MB\n",
                tableBytes / 1e6, double(tableBytes) / fileBytes, (rssAfter - rssBefore) / 1e3,
                (rssAfter - rssBefore) * 1024.0 / fileBytes, peak / 1e3);
    std::printf("lists: %d manufacturers, %d barcodes\n", int(GyartoList.size()), int(VonalkodList.size()));
    SetProgramDirOverride(QString());
    return 0;
}
