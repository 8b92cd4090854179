// List window benchmark: kelobolt-admin make-sample writes the product master, the product
// table is loaded into memory as at start-up, then a list window over it (19 columns, a name
// filter) is timed for: first show to a painted, filled grid; refilter with the caption
// recount; a sort by a click on a column title; an export of all rows to an .xls file.
#include "ExcelExport.h"
#include "ProgramDir.h"
#include "dMainData.h"
#include "dMessage.h"
#include "frmBaseList.h"
#include "frmWaitMessage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {
double CpuNow()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Wall-clock and CPU milliseconds of one step.
struct TStep {
    double Wall = 0, Cpu = 0;
};

template <class F>
TStep Time(F&& f)
{
    QElapsedTimer t;
    const double c0 = CpuNow();
    t.start();
    f();
    return {t.nsecsElapsed() / 1e6, CpuNow() - c0};
}

TStep Median(QVector<TStep> v)
{
    std::sort(v.begin(), v.end(), [](const TStep& a, const TStep& b) { return a.Wall < b.Wall; });
    return v[v.size() / 2];
}

// Everything the window has to do before the user sees it: events handled, the grid painted.
void Settle(QWidget* w)
{
    QCoreApplication::processEvents();
    w->repaint();
}

class TFormBenchLista : public TFormBaseList {
public:
    TFormBenchLista(TRxMemoryData* table) : FTable(table)
    {
        setObjectName(QStringLiteral("FormBenchLista"));
        const char* cols[][3] = {
            {"KOD", "Kód", ""},           {"NEV", "Megnevezés", ""},        {"DBNEAR", "Nettó ár", "### ### ##0.00"},
            {"DBBEAR", "Bruttó ár", "### ### ##0.00"}, {"KARNEAR", "Karton nettó", "### ### ##0.00"},
            {"KARBEAR", "Karton bruttó", "### ### ##0.00"}, {"AFA_KULCS", "ÁFA", "0.00"}, {"RENDMENNY", "Rendelt", "########0"},
            {"SUMMENNY", "Készlet", "0.00"}, {"MINRMENNY", "Min.", "########0"}, {"KARSZORZO", "Karton", "########0"},
            {"RAKSZORZO", "Raklap", "########0"}, {"UGYNEV", "Gyártó", ""}, {"AKCIOS", "Akciós", ""},
            {"TIPUSNEV", "Akció", ""},    {"VONALKOD", "Vonalkód", ""},     {"CEGNEV", "Forrás", ""},
            {"ADATUMTOL", "Akció kezdete", "yyyy.mm.dd"}, {"ADATUMIG", "Akció vége", "yyyy.mm.dd"},
        };
        for (const auto& c : cols)
            AddDisplayField(FMasterFields, c[0], QString::fromUtf8(c[1]), 90, QString::fromUtf8(c[2]));
        SetKeyField(QStringLiteral("KOD"));
        SetFormCaption(QStringLiteral("Termékek ($RECCOUNT)"));
    }
    void InitForm() override
    {
        TFormBaseList::InitForm();
        QueryMaster();
    }
    void GetMasterSource(TDatasetSource& source) override
    {
        source = TDatasetSource();
        source.DataSet = FTable;
    }
    void FilterMaster(TDataSet& ds, bool& accept) override { accept = TextMatches(Needle, ds, QStringLiteral("NEV")); }
    QString Needle;

private:
    TRxMemoryData* FTable;
};
}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    qint64 products = 100000;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i)
        if (args[i] == "--products") products = args[i + 1].toLongLong();

    QTemporaryDir dir;
    const QString admin = QCoreApplication::applicationDirPath() + "/kelobolt-admin";
    if (QProcess::execute(admin, {"make-sample", dir.path(), "--products", QString::number(products), "--seed", "1"}) != 0) {
        std::fprintf(stderr, "make-sample failed\n");
        return 1;
    }
    SetProgramDirOverride(dir.path() + "/");
    TMainData dm;
    const TStep load = Time([&] {
        dm.LoadDbfIntoMemory(dm.rxmdTermek, dir.path() + "/Data/termek.dbf");
        dm.dbfTemp.Close();
    });

    TdmMessage messages;
    TFormWaitMessage wait;
    messages.SetWaitForm(&wait);
    SetMessageHandler(&messages);

    TFormBenchLista form(&dm.rxmdTermek);
    const TStep show = Time([&] {
        form.show();
        Settle(&form);
    });
    const int shownRows = form.grdMaster->View()->model()->rowCount();

    // The refilter as the window runs it (wait window, filter, caption recount), and then the
    // repaint of the window that follows in the event loop.
    QVector<TStep> filters, painted;
    QStringList counts;
    for (const QString& needle : {QStringLiteral("bor"), QStringLiteral("őr"), QStringLiteral("kol"), QStringLiteral("lé"),
                                  QStringLiteral("tál"), QString()}) {
        form.Needle = needle;
        TStep paint;
        filters << Time([&] {
            form.SetFilterDirty(true);
            form.ApplyFilter(false);
        });
        paint = Time([&] { Settle(&form); });
        painted << TStep{filters.last().Wall + paint.Wall, filters.last().Cpu + paint.Cpu};
        counts << QString::number(form.RecordCountShown());
    }

    // The dataset's share of it: the same filters without the window around them.
    QVector<TStep> bare;
    for (const QString& needle : {QStringLiteral("bor"), QStringLiteral("őr"), QStringLiteral("kol"), QStringLiteral("lé"),
                                  QStringLiteral("tál"), QString()}) {
        form.Needle = needle;
        bare << Time([&] { dm.rxmdTermek.Refilter(); });
    }
    dm.rxmdTermek.Refilter();
    Settle(&form);

    QVector<TStep> sorts, sortsPainted;
    QHeaderView* header = form.grdMaster->Header();
    for (int i = 0; i < 4; ++i) {
        const int logical = header->logicalIndex(1);  // "Megnevezés"
        const QPoint p(header->sectionViewportPosition(logical) + header->sectionSize(logical) / 2, header->height() / 2);
        sorts << Time([&] { QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, p); });
        const TStep paint = Time([&] { Settle(&form); });
        sortsPainted << TStep{sorts.last().Wall + paint.Wall, sorts.last().Cpu + paint.Cpu};
    }

    QVector<TStep> exports;
    const QString xls = dir.path() + "/export.xls";
    QString error;
    for (int i = 0; i < 3; ++i) exports << Time([&] { WriteGridWorkbook(form.grdMaster, xls, &error); });
    const qint64 xlsBytes = QFileInfo(xls).size();

    std::printf("%lld products; the grid shows %d rows and %d columns\n", products, shownRows, form.grdMaster->ColumnCount());
    std::printf("%-52s %10s %10s %8s\n", "step", "wall ms", "cpu ms", "goal ms");
    std::printf("%-52s %10.1f %10.1f %8s\n", "termek.dbf into the product table (start-up)", load.Wall, load.Cpu, "-");
    std::printf("%-52s %10.1f %10.1f %8d\n", "first show to a painted, filled grid", show.Wall, show.Cpu, 300);
    const TStep f = Median(filters);
    std::printf("%-52s %10.1f %10.1f %8d  (median of %lld; rows: %s)\n", "refilter by name with the caption recount", f.Wall,
                f.Cpu, 20, qlonglong(filters.size()), qPrintable(counts.join(", ")));
    const TStep b = Median(bare);
    std::printf("%-52s %10.1f %10.1f %8s\n", "  of which the table's refilter (FilterMaster per row)", b.Wall, b.Cpu, "");
    const TStep fp = Median(painted);
    std::printf("%-52s %10.1f %10.1f %8s\n", "  with the window repainted afterwards", fp.Wall, fp.Cpu, "");
    const TStep s = Median(sorts);
    std::printf("%-52s %10.1f %10.1f %8d  (median of %lld, ascending / descending; layout saved)\n",
                "sort by a title click (NEV)", s.Wall, s.Cpu, 100, qlonglong(sorts.size()));
    const TStep sp = Median(sortsPainted);
    std::printf("%-52s %10.1f %10.1f %8s\n", "  with the window repainted afterwards", sp.Wall, sp.Cpu, "");
    const TStep x = Median(exports);
    std::printf("%-52s %10.1f %10.1f %8d  (median of %lld; %.1f MB%s)\n", "export of all rows, 19 columns, to .xls", x.Wall,
                x.Cpu, 3000, qlonglong(exports.size()), xlsBytes / 1e6, error.isEmpty() ? "" : qPrintable(" error: " + error));
    SetMessageHandler(nullptr);
    return 0;
}
