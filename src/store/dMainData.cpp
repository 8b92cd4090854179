#include "dMainData.h"

#include "DebugLog.h"
#include "FileLookup.h"
#include "Messages.h"
#include "Paths.h"
#include "UtilDataSet.h"
#include "UtilMegfej.h"

#include <QFileInfo>

#include <array>

TListSimpleID GyartoList;
TListVonalkod VonalkodList;

namespace {
QString DataFile(const QString& name)
{
    return FindFileCI(GetDataDir() + name);
}

void LogQuietly(const QString& line)
{
    try {
        WriteDebugLog(line);
    } catch (const std::exception&) {
    }
}

// Runs the closing steps of a refresh also when the refresh throws.
struct TRefreshEnd {
    std::function<void()> run;
    ~TRefreshEnd() { run(); }
};
}

TMainData::TMainData(QObject* parent) : QObject(parent)
{
    dbfVevo.SetOnFilterRecord(&TMainData::dbfVevoFilterRecord);
}

bool TMainData::dbfVevoFilterRecord(TDataSet& ds)
{
    return GetFieldString(&ds, "VTP2") == QLatin1String("AKT");
}

bool TMainData::LoadDbfIntoMemory(TRxMemoryData& table, const QString& fileName)
{
    const QString path = FindFileCI(fileName);
    if (!QFileInfo(path).isFile()) return false;
    try {
        if (!OpenDBF(dbfTemp, path, 1250)) return false;
        CopyDbfToMemory(dbfTemp, table);
        return true;
    } catch (const std::exception& e) {
        LogQuietly(QStringLiteral("LoadDbfIntoMemory %1: %2").arg(path, QString::fromStdString(e.what())));
        return false;
    }
}

void TMainData::LoadOrderHeaders()
{
    LoadDbfIntoMemory(rxmdMegfej, MegfejFileName());
    LoadDbfIntoMemory(rxmdMegfej_Arhiv, ArhivMegfejFileName());
    dbfTemp.Close();
}

void TMainData::AfterRefresh()
{
    HideWaitMessage();
    ProcessMessages();
    if (OnUpdateStatusBar) OnUpdateStatusBar();
}

void TMainData::RefreshCustomers()
{
    const QString file = DataFile("vevo.dbf");
    if (!QFileInfo(file).isFile()) return;
    ShowWaitMessage(QStringLiteral("Frissítés"), QStringLiteral("Ügyféltörzs frissítése folyamatban..."));
    TRefreshEnd end{[this] { AfterRefresh(); }};
    {
        TDbf probe;
        if (!probe.Open(file, 852)) {
            LogQuietly(QStringLiteral("Az ügyféltörzs nem nyitható meg: %1").arg(probe.LastError()));
            return;
        }
    }
    OpenDBF(dbfVevo, file, 852);
    dbfVevo.SetFiltered(false);
    dbfVevo.SetFiltered(true);
}

void TMainData::RefreshProducts()
{
    const QString file = DataFile("termek.dbf");
    if (!QFileInfo(file).isFile()) return;
    ShowWaitMessage(QStringLiteral("Frissítés"), QStringLiteral("Termékek frissítése folyamatban..."));
    TRefreshEnd end{[this] {
        dbfTemp.Close();
        AfterRefresh();
    }};
    LoadDbfIntoMemory(rxmdTermek, file);
    if (!dbfTemp.Active())
        throw EDataSetError(QStringLiteral("A termékek nem tölthetők be: %1").arg(dbfTemp.LastError()));
    LoadSimpleIDList(GyartoList, &dbfTemp, "UGYKOD", "UGYNEV");
    SortSimpleIDByName(GyartoList);
    TListVonalkod fresh;
    LoadVonalkodList(dbfTemp, fresh);
    VonalkodList = fresh;
}

bool TMainData::CreateOrderTables()
{
    const bool headers = CreateOrderHeaderTables();
    const bool serials = CreateSerialNumberTable();
    return headers && serials;
}

void TMainData::LoadMasterData()
{
    RefreshCustomers();
    RefreshProducts();
}

namespace {
// Decodes text fields row by row and hands back the same (shared) string when a field repeats
// one of its recent values, as barcode rows of one product and unit names do.
class TTextCache {
public:
    QString Get(const TDbf& dbf, const char* rec, int field)
    {
        if (field < 0) return {};
        const TDbfFieldInfo& f = dbf.DbfFields()[field];
        const QByteArrayView raw(rec + f.Offset, f.Length);
        for (const auto& e : FRecent)
            if (e.first == raw) return e.second;
        const QString value = dbf.DecodeField(rec, field).toString();
        FRecent[FNext] = {QByteArray(raw.data(), raw.size()), value};
        FNext = (FNext + 1) % int(FRecent.size());
        return value;
    }

private:
    std::array<QPair<QByteArray, QString>, 4> FRecent;
    int FNext = 0;
};
}

void LoadVonalkodList(TDbf& dbf, TListVonalkod& list)
{
    list.clear();
    const QString file = DataFile("vonalkod.dbf");
    if (!QFileInfo(file).isFile()) return;
    if (!OpenDBF(dbf, file, 1250)) return;
    const int kod = dbf.FieldIndex("TER_KOD"), nev = dbf.FieldIndex("TER_NEV"), mee = dbf.FieldIndex("TMV_MEE"),
              mer = dbf.FieldIndex("MER_NEV"), menny = dbf.FieldIndex("TMV_MENNY"), vk = dbf.FieldIndex("VONALKOD");
    const int rows = dbf.RecordCount();
    list.reserve(rows);
    TTextCache kodCache, nevCache, merCache;
    auto number = [&](const char* rec, int f) { return f < 0 ? 0.0 : dbf.DecodeField(rec, f).toDouble(); };
    for (int r = 0; r < rows; ++r) {
        const char* rec = dbf.RecordData(dbf.StoredRowAt(r));
        list.append(MakeVonalkod(kodCache.Get(dbf, rec, kod), nevCache.Get(dbf, rec, nev), qint32(number(rec, mee)),
                                 merCache.Get(dbf, rec, mer), number(rec, menny),
                                 vk < 0 ? QString() : dbf.DecodeField(rec, vk).toString()));
    }
    dbf.Close();
}

void LoadSzotar(TDbf& dbf, int fej, TListSzotarTetel& list)
{
    list.clear();
    if (!OpenDBF(dbf, DataFile("Szotartetel.dbf"), 1250)) return;
    const int f = dbf.FieldIndex("FEJ"), id = dbf.FieldIndex("ID"), nev = dbf.FieldIndex("NEV");
    const int rows = dbf.RecordCount();
    for (int r = 0; f >= 0 && r < rows; ++r) {
        if (qRound64(dbf.ValueAt(r, f).toDouble()) != fej) continue;
        TSzotarTetel t;
        t.ID = id < 0 ? 0 : qint32(qRound64(dbf.ValueAt(r, id).toDouble()));
        t.Name = CutText(nev < 0 ? QString() : dbf.ValueAt(r, nev).toString(), 50);
        list.append(t);
    }
    dbf.Close();
}
