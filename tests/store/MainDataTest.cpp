#include "GTestQt.h"
#include "Paths.h"
#include "TestSupport.h"
#include "UtilDataSet.h"
#include "UtilMegfej.h"
#include "dMainData.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

namespace {
struct TCol {
    const char* name;
    TFieldType type;
    int size;
    int dec;
};

void MakeTable(const QString& file, const QVector<TCol>& cols, const QVector<QVariantList>& rows, int cp = 1250)
{
    TListDBFField l;
    for (const TCol& c : cols) AddDBFField(l, c.name, c.type, false, c.dec, c.size);
    ASSERT_TRUE(CreateDBFTable(file, l, cp));
    TDbf t;
    ASSERT_TRUE(t.Open(file, cp));
    for (const QVariantList& r : rows) {
        t.Append();
        for (int i = 0; i < r.size(); ++i) t.SetValue(i, r[i]);
        t.Post();
    }
}

TMegFej Header(const QDate& kelt)
{
    TMegFej h;
    h.UGYFELKOD = "V0012";
    h.UGYFELNEV = QStringLiteral("Minta Kft.");
    h.UTCA = QStringLiteral("Fő utca 1.");
    h.KELT = kelt.startOfDay();
    h.IDO = "14:05";
    h.SZALLHAT = QDate(2024, 3, 20).startOfDay();
    h.NETTO = 1200;
    h.BRUTTO = 1524;
    h.SRCKOD = "C01";
    h.SRCNEV = QStringLiteral("Szállító");
    return h;
}

struct TStoreFixture : ::testing::Test {
    TTempProgramDir dir;
    TRecordingMessages messages;
    void SetUp() override { CreateStartupFolders(); }
    QStringList MegfejNumbers()
    {
        TDbf t;
        QStringList out;
        if (!t.Open(MegfejFileName(), 1250)) return out;
        for (t.First(); !t.Eof(); t.Next()) out << GetFieldString(&t, "BIZSORSZAM");
        return out;
    }
};
}

TEST_F(TStoreFixture, OrderTableLayoutsExactly)
{
    TMainData dm;
    ASSERT_TRUE(dm.CreateOrderTables());
    const QString expectMegfej =
        "BIZSORSZAM C20.0,EV N4.0,SORSZAM N10.0,UGYFELKOD C20.0,UGYFELNEV C50.0,IRSZAM C10.0,VAROS C50.0,UTCA C50.0,"
        "BOLTKOD C20.0,UGYNOKKOD C20.0,MEGJ1 C128.0,MEGJ2 C128.0,KELT D8.0,IDO C5.0,SZALLHAT D8.0,NETTO N18.2,"
        "BRUTTO N18.2,STATE N4.0,SRCKOD C20.0,SRCNEV C50.0,ELKULDVE D8.0,JELOL L1.0";
    for (const QString& file : {QString("megfej.dbf"), QString("arhivmegfej.dbf"), QString("sorszam.dbf")}) {
        TDbf t;
        ASSERT_TRUE(t.Open(dir.File("Data/" + file), 0)) << file.toStdString();
        EXPECT_EQ(t.CodePage(), 1250);
        QStringList layout;
        for (const TDbfFieldInfo& f : t.DbfFields())
            layout << QStringLiteral("%1 %2%3.%4").arg(f.Name).arg(QChar::fromLatin1(f.Type)).arg(f.Length).arg(f.Decimals);
        EXPECT_EQ(layout.join(","), file == "sorszam.dbf" ? QString("ID C50.0,SORSZAM N10.0") : expectMegfej) << file.toStdString();
    }
    // An older table with fewer columns is brought up to date, keeping its rows.
    QFile::remove(dir.File("Data/megfej.dbf"));
    MakeTable(dir.File("Data/megfej.dbf"), {{"BIZSORSZAM", TFieldType::String, 20, 0}, {"KELT", TFieldType::Date, 0, 0}},
              {{"BOLT01-24-00001", QDate(2024, 1, 2)}});
    ASSERT_TRUE(CreateOrderHeaderTables());
    dm.LoadOrderHeaders();
    EXPECT_EQ(dm.rxmdMegfej.FieldCount(), 22);
    EXPECT_EQ(dm.rxmdMegfej.RecordCount(), 1);
    EXPECT_EQ(dm.rxmdMegfej.FieldValue("KELT").toDate(), QDate(2024, 1, 2));
    EXPECT_EQ(dm.rxmdMegfej_Arhiv.FieldCount(), 22);
    EXPECT_FALSE(dm.dbfTemp.Active());  // nothing holds the tables between operations
}

TEST_F(TStoreFixture, SerialNumbersAndStoredHeaders)
{
    ASSERT_TRUE(CreateOrderHeaderTables());
    ASSERT_TRUE(CreateSerialNumberTable());
    EXPECT_EQ(NextSerialNumber("BOLT012024", false), 1);
    const TSorszam a = StoreOrderHeader(TOrderSaveMode::New, "", Header(QDate(2024, 3, 15)), "BOLT01");
    const TSorszam b = StoreOrderHeader(TOrderSaveMode::SaveAsNew, "BOLT01-24-00001", Header(QDate(2024, 3, 15)), "BOLT01");
    EXPECT_EQ(a.BIZSORSZAM, "BOLT01-24-00001");
    EXPECT_EQ(a.EV, 2024);
    EXPECT_EQ(a.SORSZAM, 1);
    EXPECT_EQ(b.BIZSORSZAM, "BOLT01-24-00002");
    EXPECT_EQ(NextSerialNumber("BOLT012024", false), 3);
    EXPECT_EQ(StoreOrderHeader(TOrderSaveMode::New, "", Header(QDate(2025, 1, 1)), "BOLT01").BIZSORSZAM, "BOLT01-25-00001");
    {
        TDbf s;
        ASSERT_TRUE(s.Open(SorszamFileName()));
        ASSERT_TRUE(s.Locate("ID", "BOLT012025"));
        EXPECT_EQ(GetFieldInt(&s, "SORSZAM"), 2);
    }

    // Modify keeps number, year and serial, takes the new date and time, sets STATE 0 and keeps
    // the stored deadline when none is given.
    {
        TDbf t;
        ASSERT_TRUE(t.Open(MegfejFileName()));
        ASSERT_TRUE(t.Locate("BIZSORSZAM", "BOLT01-24-00001"));
        t.Edit();
        SetFieldValue(&t, "STATE", 1);
        SetFieldValue(&t, "ELKULDVE", QDate(2024, 3, 16));
        t.Post();
    }
    TMegFej m = Header(QDate(2024, 4, 1));
    m.IDO = "09:30";
    m.SZALLHAT = QDateTime();
    m.UGYFELNEV = QStringLiteral("Új Név ŐŰ");
    const TSorszam c = StoreOrderHeader(TOrderSaveMode::Modify, "BOLT01-24-00001", m, "MAS");
    EXPECT_EQ(c.BIZSORSZAM, "BOLT01-24-00001");
    EXPECT_EQ(c.SORSZAM, 1);
    TDbf t;
    ASSERT_TRUE(t.Open(MegfejFileName()));
    ASSERT_TRUE(t.Locate("BIZSORSZAM", "BOLT01-24-00001"));
    EXPECT_EQ(GetFieldInt(&t, "STATE"), 0);
    EXPECT_EQ(GetFieldValue(&t, "ELKULDVE").toDate(), QDate(2024, 3, 16));  // not touched
    EXPECT_EQ(GetFieldValue(&t, "KELT").toDate(), QDate(2024, 4, 1));
    EXPECT_EQ(GetFieldString(&t, "IDO"), "09:30");
    EXPECT_EQ(GetFieldValue(&t, "SZALLHAT").toDate(), QDate(2024, 3, 20));
    EXPECT_EQ(GetFieldString(&t, "UGYFELNEV"), QStringLiteral("Új Név ŐŰ"));
    const TMegFej back = ReadOrderHeader(&t);
    EXPECT_EQ(back.UGYFELNEV, QStringLiteral("Új Név ŐŰ"));
    EXPECT_EQ(back.SZALLHAT.date(), QDate(2024, 3, 20));
    EXPECT_EQ(back.BRUTTO, 1524.0);
    EXPECT_TRUE(back.IRSZAM.isEmpty());
    EXPECT_FALSE(back.KELT.isValid());  // not read back
    t.Close();
    EXPECT_EQ(StoreOrderHeader(TOrderSaveMode::Modify, "NINCS-24-00001", m, "BOLT01").EV, -1);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(MegfejNumbers().size(), 3);
}

TEST_F(TStoreFixture, RefusedSavesStoreNothing)
{
    ASSERT_TRUE(CreateOrderHeaderTables());
    // No serial table: refused with a message, never serial 0.
    const TSorszam none = StoreOrderHeader(TOrderSaveMode::New, "", Header(QDate(2024, 3, 15)), "BOLT01");
    EXPECT_EQ(none.SORSZAM, -1);
    EXPECT_TRUE(none.BIZSORSZAM.isEmpty());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains("sorszam.dbf"));
    EXPECT_TRUE(MegfejNumbers().isEmpty());

    // An identifier that makes the number longer than 20 characters: refused, no number taken.
    ASSERT_TRUE(CreateSerialNumberTable());
    const QString longId = "BOLT0123456X";  // 12 characters: 12 + 9 = 21
    EXPECT_EQ(StoreOrderHeader(TOrderSaveMode::New, "", Header(QDate(2024, 3, 15)), longId).SORSZAM, -1);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[1].text.contains("túl hosszú"));
    EXPECT_EQ(NextSerialNumber(longId + "2024", false), 1);
    EXPECT_TRUE(MegfejNumbers().isEmpty());
    const QString fits = longId.left(MaxRendeloIDLength);
    EXPECT_EQ(StoreOrderHeader(TOrderSaveMode::New, "", Header(QDate(2024, 3, 15)), fits).BIZSORSZAM, fits + "-24-00001");
    EXPECT_EQ(MakeBizSorszam("BOLT01", 2024, 123456), "BOLT01-24-123456");

    QFile::remove(MegfejFileName());
    EXPECT_EQ(StoreOrderHeader(TOrderSaveMode::New, "", Header(QDate(2024, 3, 15)), "BOLT01").SORSZAM, -1);
    EXPECT_EQ(NextSerialNumber("BOLT012024", false), 1);  // no number taken either
}

TEST_F(TStoreFixture, CustomersOnlyExactlyAkt)
{
    TMainData dm;
    int statusBar = 0;
    dm.OnUpdateStatusBar = [&] { ++statusBar; };
    dm.RefreshCustomers();  // no file: nothing at all
    EXPECT_EQ(statusBar, 0);
    EXPECT_TRUE(messages.shown.isEmpty());
    MakeTable(dir.File("Data/VEVO.DBF"),
              {{"VKOD", TFieldType::String, 10, 0}, {"VNEV", TFieldType::String, 40, 0}, {"VTP2", TFieldType::String, 10, 0}},
              {{"V1", QStringLiteral("Őszi Űrhajó Bt."), "AKT"}, {"V2", "kis", "akt"}, {"V3", "hosszabb", "AKTIV"},
               {"V4", "blank", " AKT"}, {"V5", QStringLiteral("Árvíztűrő"), "AKT"}},
              852);
    dm.RefreshCustomers();
    ASSERT_TRUE(dm.dbfVevo.Active());
    EXPECT_EQ(dm.dbfVevo.CodePage(), 852);
    EXPECT_EQ(dm.dbfVevo.RecordCount(), 2);
    dm.dbfVevo.First();
    EXPECT_EQ(GetFieldString(&dm.dbfVevo, "VNEV"), QStringLiteral("Őszi Űrhajó Bt."));
    EXPECT_EQ(statusBar, 1);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].kind, "Wait");
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Frissítés"));
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Ügyféltörzs frissítése folyamatban..."));
    EXPECT_EQ(messages.shown[1].kind, "HideWait");
    // A damaged file keeps the table that was open.
    QFile f(dir.File("Data/VEVO.DBF"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.resize(100);
    f.close();
    dm.RefreshCustomers();
    EXPECT_EQ(dm.dbfVevo.RecordCount(), 2);
    EXPECT_EQ(statusBar, 2);
}

TEST_F(TStoreFixture, ProductsManufacturersAndBarcodes)
{
    TMainData dm;
    int statusBar = 0;
    dm.OnUpdateStatusBar = [&] { ++statusBar; };
    GyartoList.clear();
    VonalkodList.clear();
    dm.RefreshProducts();
    EXPECT_EQ(statusBar, 0);
    const QVector<TCol> cols = {{"KOD", TFieldType::String, 20, 0}, {"NEV", TFieldType::String, 40, 0},
                                {"RENDMENNY", TFieldType::Integer, 10, 0}, {"UGYKOD", TFieldType::String, 10, 0},
                                {"UGYNEV", TFieldType::String, 50, 0}, {"DBNEAR", TFieldType::Float, 12, 2}};
    MakeTable(dir.File("Data/termek.dbf"), cols,
              {{"A1", "alma", QVariant(), "G1", "Zeta Kft.", 10.5}, {"A2", "barack", QVariant(), "G2", QStringLiteral("Ábel Zrt."), 3},
               {"A3", "citrom", QVariant(), "G1", "Zeta Rt.", 1}, {"A4", "dinnye", QVariant(), "G3", "Zeta Rt.", 2},
               {"A5", "eper", QVariant(), "", "Senki", 2}, {"A6", "füge", QVariant(), "G4", "", 2},
               {"A7", "gesztenye", QVariant(), "G5", "Alfa", 2}});
    dm.RefreshProducts();
    EXPECT_EQ(statusBar, 1);
    EXPECT_EQ(dm.rxmdTermek.RecordCount(), 7);
    EXPECT_EQ(dm.rxmdTermek.FieldCount(), 6);
    EXPECT_FALSE(dm.dbfTemp.Active());
    QStringList g;
    for (const TSimpleID& e : GyartoList) g << e.ID + "=" + e.Name;
    EXPECT_EQ(g, QStringList({"G5=Alfa", "G1=Zeta Rt.", "G3=Zeta Rt.", QStringLiteral("G2=Ábel Zrt.")}));
    EXPECT_TRUE(VonalkodList.isEmpty());
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Termékek frissítése folyamatban..."));

    // A second refresh replaces the table and the barcodes; manufacturers that are gone stay.
    MakeTable(dir.File("Data/termek.dbf"), cols, {{"B1", "bab", 5, "G9", "Kilenc", 1}});
    MakeTable(dir.File("Data/vonalkod.dbf"),
              {{"TER_KOD", TFieldType::String, 20, 0}, {"TER_NEV", TFieldType::String, 50, 0}, {"TMV_MEE", TFieldType::Integer, 5, 0},
               {"MER_NEV", TFieldType::String, 20, 0}, {"TMV_MENNY", TFieldType::Float, 10, 3}, {"VONALKOD", TFieldType::String, 60, 0}},
              {{"B1", "bab", 2, "karton", 12.5, QString(55, '5')}, {"B1", "bab", 1, "db", 1, "599"}});
    dm.RefreshProducts();
    EXPECT_EQ(dm.rxmdTermek.RecordCount(), 1);
    EXPECT_EQ(dm.rxmdTermek.FieldValue("RENDMENNY").toLongLong(), 5);
    EXPECT_EQ(GyartoList.size(), 5);
    ASSERT_EQ(VonalkodList.size(), 2);
    EXPECT_EQ(VonalkodList[0].VONALKOD, QString(50, '5'));
    EXPECT_EQ(VonalkodList[0].TMV_MENNY, 12.5);
    EXPECT_EQ(VonalkodList[1].MER_NEV, "db");

    // A table that cannot be opened: the error reaches the caller after the status bar refresh.
    QFile f(dir.File("Data/termek.dbf"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.resize(60);
    f.close();
    messages.shown.clear();
    EXPECT_THROW(dm.RefreshProducts(), EDataSetError);
    EXPECT_EQ(statusBar, 3);
    EXPECT_FALSE(messages.waitVisible);
    EXPECT_EQ(dm.rxmdTermek.RecordCount(), 1);  // the previous products stay
}

TEST_F(TStoreFixture, Dictionaries)
{
    TDbf dbf;
    TListSzotarTetel list{{1, "régi"}};
    LoadSzotar(dbf, 20, list);
    EXPECT_TRUE(list.isEmpty());
    MakeTable(dir.File("Data/szotartetel.dbf"),
              {{"FEJ", TFieldType::Integer, 5, 0}, {"ID", TFieldType::Integer, 8, 0}, {"NEV", TFieldType::String, 60, 0}},
              {{20, 1, QStringLiteral("Havi akció")}, {4, 7, "Italok"}, {20, 2, QString(60, 'x')}, {5, 1, "Más"}});
    LoadSzotar(dbf, 20, list);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].Name, QStringLiteral("Havi akció"));
    EXPECT_EQ(list[1].ID, 2);
    EXPECT_EQ(list[1].Name.size(), 50);
    EXPECT_FALSE(dbf.Active());
}

TEST(DataSetHelpers, NeutralValuesSumsAndFlags)
{
    TRxMemoryData t;
    EXPECT_EQ(CountRecords(&t), 0);
    EXPECT_EQ(CountRecords(nullptr), 0);
    TListSumField sums;
    SumFields(&t, "NETTO;BRUTTO", sums);
    ASSERT_EQ(sums.size(), 2);
    EXPECT_EQ(GetFieldSum(sums, "brutto"), 0.0);
    t.CreateTable({{"NETTO", TFieldType::Float}, {"BRUTTO", TFieldType::Float}, {"JELOL", TFieldType::Integer},
                   {"T", TFieldType::String, 5}});
    EXPECT_EQ(GetFieldInt(&t, "NINCS"), 0);
    EXPECT_FALSE(GetFieldValue(&t, "").isValid());
    EXPECT_EQ(GetFieldString(nullptr, "T"), "");
    for (int i = 1; i <= 4; ++i) {
        t.Append();
        SetFieldFloat(&t, "NETTO", i * 1.5);
        SetFieldValue(&t, "BRUTTO", i);
        SetFieldInt(&t, "JELOL", i % 2);
        SetFieldValue(&t, "NINCS", 1);  // ignored
        SetFieldValue(&t, "T", i == 1 ? "" : (i == 2 ? "0" : "x"));
        t.Post();
    }
    SumFields(&t, "NETTO;BRUTTO;NINCS", sums);
    EXPECT_EQ(GetFieldSum(sums, "NETTO"), 15.0);
    EXPECT_EQ(GetFieldSum(sums, "BRUTTO"), 10.0);
    EXPECT_EQ(FindSumField(sums, "nincs"), 2);
    EXPECT_EQ(FindSumField(sums, "X"), -1);
    t.First();
    EXPECT_FALSE(GetFieldBool(&t, "T"));
    t.Next();
    EXPECT_FALSE(GetFieldBool(&t, "T"));
    EXPECT_TRUE(GetFieldBool(&t, "JELOL") == false);
    t.SetRecNo(2);
    EXPECT_TRUE(GetFieldBool(&t, "JELOL"));
    // Clearing the flag on a view filtered by the flag visits every row.
    t.SetOnFilterRecord([](TDataSet& ds) { return GetFieldInt(&ds, "JELOL") != 0; });
    t.SetFiltered(true);
    EXPECT_EQ(CountRecords(&t), 2);
    ClearFlagField(&t, "JELOL");
    EXPECT_EQ(CountRecords(&t), 0);
    t.SetFiltered(false);
    t.SetRecNo(1);
    ClearFlagField(&t, "JELOL");
    EXPECT_EQ(t.RecNo(), 1);
    for (t.First(); !t.Eof(); t.Next()) EXPECT_EQ(GetFieldInt(&t, "JELOL"), 0);

    TListSimpleID ids{{"G1", "Régi"}};
    TRxMemoryData m;
    m.CreateTable({{"UGYKOD", TFieldType::String, 12}, {"UGYNEV", TFieldType::String, 60}});
    for (const auto& [id, name] : {std::pair{"G1", "Új"}, std::pair{"G2", ""}, std::pair{"G3456789012", "Hosszú"}}) {
        m.Append();
        m.SetFieldValue("UGYKOD", id);
        m.SetFieldValue("UGYNEV", name);
        m.Post();
    }
    m.SetRecNo(1);
    LoadSimpleIDList(ids, &m, "UGYKOD", "UGYNEV");
    EXPECT_EQ(m.RecNo(), 1);
    ASSERT_EQ(ids.size(), 2);
    EXPECT_EQ(ids[0].Name, QStringLiteral("Új"));
    EXPECT_EQ(ids[1].ID, "G345678901");
}

TEST_F(TStoreFixture, OrderTablesAsDbfreadSeesThem)
{
    ASSERT_TRUE(CreateOrderHeaderTables());
    ASSERT_TRUE(CreateSerialNumberTable());
    TMegFej h = Header(QDate(2024, 3, 15));
    h.UGYFELNEV = QStringLiteral("Őrült Űrhajó ő ű");
    ASSERT_EQ(StoreOrderHeader(TOrderSaveMode::New, "", h, "BOLT01").BIZSORSZAM, "BOLT01-24-00001");
    const QString script = QStringLiteral(R"(
import dbfread, json, sys
out = {}
for name in ("megfej.dbf", "arhivmegfej.dbf", "sorszam.dbf"):
    t = dbfread.DBF(sys.argv[1] + name, char_decode_errors="strict")
    out[name] = {"encoding": t.encoding,
                 "fields": ",".join("%s %s%d.%d" % (f.name, f.type, f.length, f.decimal_count) for f in t.fields),
                 "rows": [{k: (v.isoformat() if hasattr(v, "isoformat") else v) for k, v in r.items()} for r in t]}
print(json.dumps(out))
)");
    QProcess p;
    p.start("/usr/bin/python3", {"-c", script, dir.File("Data/")});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    EXPECT_EQ(o["megfej.dbf"]["encoding"].toString(), "cp1250");
    EXPECT_EQ(o["megfej.dbf"]["fields"].toString(),
              "BIZSORSZAM C20.0,EV N4.0,SORSZAM N10.0,UGYFELKOD C20.0,UGYFELNEV C50.0,IRSZAM C10.0,VAROS C50.0,UTCA C50.0,"
              "BOLTKOD C20.0,UGYNOKKOD C20.0,MEGJ1 C128.0,MEGJ2 C128.0,KELT D8.0,IDO C5.0,SZALLHAT D8.0,NETTO N18.2,"
              "BRUTTO N18.2,STATE N4.0,SRCKOD C20.0,SRCNEV C50.0,ELKULDVE D8.0,JELOL L1.0");
    EXPECT_EQ(o["arhivmegfej.dbf"]["fields"], o["megfej.dbf"]["fields"]);
    EXPECT_EQ(o["sorszam.dbf"]["fields"].toString(), "ID C50.0,SORSZAM N10.0");
    const QJsonObject row = o["megfej.dbf"]["rows"][0].toObject();
    EXPECT_EQ(row["BIZSORSZAM"].toString(), "BOLT01-24-00001");
    EXPECT_EQ(row["UGYFELNEV"].toString(), QStringLiteral("Őrült Űrhajó ő ű"));
    EXPECT_EQ(row["UTCA"].toString(), QStringLiteral("Fő utca 1."));
    EXPECT_EQ(row["KELT"].toString(), "2024-03-15");
    EXPECT_EQ(row["SZALLHAT"].toString(), "2024-03-20");
    EXPECT_EQ(row["EV"].toInt(), 2024);
    EXPECT_EQ(row["BRUTTO"].toDouble(), 1524.0);
    EXPECT_EQ(row["STATE"].toInt(), 0);
    EXPECT_TRUE(row["ELKULDVE"].isNull());
    EXPECT_TRUE(row["JELOL"].isNull());
    const QJsonObject counter = o["sorszam.dbf"]["rows"][0].toObject();
    EXPECT_EQ(counter["ID"].toString(), "BOLT012024");
    EXPECT_EQ(counter["SORSZAM"].toInt(), 2);
}
