// kelobolt-admin commands of the data store: looking into DBF and FDB files, and writing sample
// master data into a program folder.
#include "AdminCommand.h"

#include "UtilDBF.h"
#include "UtilFileDB.h"
#include "ZipArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <random>

namespace {

QString JsonString(const QString& s)
{
    QString out;
    out.reserve(s.size() + 2);
    out += '"';
    for (QChar c : s) {
        switch (c.unicode()) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c.unicode() < 0x20) out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar('0'));
            else out += c;
        }
    }
    out += '"';
    return out;
}

QString JsonNumber(double d)
{
    if (!std::isfinite(d)) return QStringLiteral("null");
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    return QString::fromLatin1(buf, r.ptr - buf);
}

// A value as the dumps write it.
QString JsonValue(const QVariant& v)
{
    if (!v.isValid() || v.isNull()) return QStringLiteral("null");
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::LongLong:
    case QMetaType::Int: return QString::number(v.toLongLong());
    case QMetaType::Double: return JsonNumber(v.toDouble());
    case QMetaType::QDate: return JsonString(v.toDate().toString(QStringLiteral("yyyy-MM-dd")));
    case QMetaType::QDateTime: return JsonString(v.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
    default: {
        const QString s = v.toString();
        return s.isEmpty() ? QStringLiteral("null") : JsonString(s);
    }
    }
}

bool OpenForDump(const QString& file, int codePage, TDbf& dbf, QTextStream& err)
{
    if (!QFileInfo(file).isFile()) {
        err << "A fájl nem található: " << file << "\n";
        return false;
    }
    if (!dbf.Open(file, codePage)) {
        err << "A tábla nem olvasható: " << dbf.LastError() << "\n";
        return false;
    }
    return true;
}

int RunDbfInfo(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1) {
        err << "Használat: kelobolt-admin dbf-info FILE\n";
        return 1;
    }
    TDbf dbf;
    if (!OpenForDump(args[0], 0, dbf, err)) return 1;
    out << "{\"version\":" << dbf.Version() << ",\"codepage\":" << dbf.FileCodePage()
        << ",\"records\":" << dbf.PhysicalRecordCount() << ",\"fields\":[";
    bool first = true;
    for (const TDbfFieldInfo& f : dbf.DbfFields()) {
        out << (first ? "" : ",") << "{\"name\":" << JsonString(f.Name) << ",\"type\":" << JsonString(QString(QChar::fromLatin1(f.Type)))
            << ",\"length\":" << f.Length << ",\"decimals\":" << f.Decimals << "}";
        first = false;
    }
    out << "]}\n";
    return 0;
}

int RunDbfDump(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString file;
    int codePage = 0;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--codepage" && i + 1 < args.size()) {
            bool ok = false;
            codePage = args[++i].toInt(&ok);
            if (!ok || codePage < 0) {
                err << "Érvénytelen kódlap: " << args[i] << "\n";
                return 1;
            }
        } else if (file.isEmpty() && !args[i].startsWith("--")) {
            file = args[i];
        } else {
            err << "Használat: kelobolt-admin dbf-dump FILE [--codepage N]\n";
            return 1;
        }
    }
    if (file.isEmpty()) {
        err << "Használat: kelobolt-admin dbf-dump FILE [--codepage N]\n";
        return 1;
    }
    TDbf dbf;
    if (!OpenForDump(file, codePage, dbf, err)) return 1;
    const int rows = dbf.RecordCount(), fields = dbf.FieldCount();
    for (int r = 0; r < rows; ++r) {
        QString line = "{";
        for (int f = 0; f < fields; ++f) {
            if (f) line += ',';
            line += JsonString(dbf.Fields()[f].Name) + ':' + JsonValue(dbf.ValueAt(r, f));
        }
        out << line << "}\n";
    }
    return 0;
}

int RunFdbDump(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1) {
        err << "Használat: kelobolt-admin fdb-dump FILE\n";
        return 1;
    }
    TFDBFile fdb;
    try {
        if (!fdb.LoadFromFile(args[0])) {
            err << "A fájl nem található vagy nem olvasható: " << args[0] << "\n";
            return 1;
        }
    } catch (const EFDBConvertError& e) {
        err << "Hibás dátum a fájlban: " << QString::fromStdString(e.what()) << "\n";
        return 1;
    }
    out << "{\"id\":" << JsonString(fdb.DB.Id) << ",\"hashcode\":" << JsonString(fdb.DB.HashCode) << ",\"tables\":[";
    for (int i = 0; i < fdb.DB.Tables.size(); ++i) out << (i ? "," : "") << JsonString(fdb.DB.Tables[i].Name);
    out << "],\"fields\":[";
    for (int i = 0; i < fdb.DB.Fields.size(); ++i) {
        const TFDBFieldItem& f = fdb.DB.Fields[i];
        out << (i ? "," : "") << "{\"table\":" << JsonString(fdb.TableNameOf(f.TableIndex)) << ",\"name\":" << JsonString(f.Name)
            << ",\"type\":" << JsonString(FDBDataTypeName(f.DataType)) << "}";
    }
    out << "],\"records\":[";
    for (int r = 0; r < fdb.RecordCount(); ++r) {
        out << (r ? "," : "") << "{\"table\":" << JsonString(fdb.RecordTableName(r)) << ",\"values\":{";
        const TListResultField values = fdb.GetRecordFields(r);
        for (int v = 0; v < values.size(); ++v) {
            const QVariant& val = values[v].Value;
            QString text = JsonValue(val);
            if (val.isValid() && values[v].DataType == TFDBDataType::String) text = JsonString(val.toString());
            out << (v ? "," : "") << JsonString(values[v].Name) << ":" << text;
        }
        out << "}}";
    }
    out << "]}\n";
    return 0;
}

// ---------------------------------------------------------------- sample data

class TSampleRandom {
public:
    explicit TSampleRandom(quint64 seed) : FGen(seed) {}
    int Below(int n) { return n <= 0 ? 0 : int(FGen() % quint64(n)); }  // same on every platform
    template <typename T>
    const T& Pick(const QVector<T>& v) { return v[Below(int(v.size()))]; }
    bool Chance(int percent) { return Below(100) < percent; }

private:
    std::mt19937_64 FGen;
};

const QVector<QString> kFood = {
    QStringLiteral("Őszibarack befőtt"), QStringLiteral("Ürmös bor"), QStringLiteral("Tűzálló tál"), QStringLiteral("Füstölt kolbász"),
    QStringLiteral("Gyümölcslé őszi"), QStringLiteral("Kávé őrölt"), QStringLiteral("Tejföl"), QStringLiteral("Csípős paprikakrém"),
    QStringLiteral("Ásványvíz szénsavas"), QStringLiteral("Étcsokoládé"), QStringLiteral("Almás rétes"), QStringLiteral("Őrölt bors"),
    QStringLiteral("Túró rudi"), QStringLiteral("Mosószer ÜLTRA"), QStringLiteral("Öblítő friss"), QStringLiteral("Hűtőtáska"),
    QStringLiteral("Szőlőzsír"), QStringLiteral("Fűszerkeverék"), QStringLiteral("Paradicsomlé"), QStringLiteral("Zöldborsó"), QStringLiteral("ŰRHAJÓS keksz"), QStringLiteral("Nyúlós cukor"),
};
const QVector<QString> kSize = {"100 g", "250 g", "500 g", "1 kg", "0,5 l", "1 l", "1,5 l", "2 l", "6 db", "10 db"};
const QVector<QString> kMaker = {
    QStringLiteral("Ős-Termék Kft."), QStringLiteral("Ügyes Kéz Bt."), QStringLiteral("Zöldmező Zrt."), QStringLiteral("Alföldi Ízek Kft."),
    QStringLiteral("Balatoni Pincészet"), QStringLiteral("Érdi Gyümölcs Kft."), QStringLiteral("Hűs Forrás Kft."), QStringLiteral("Mátra Tej Zrt."),
    QStringLiteral("Tiszta Ház Kft."), QStringLiteral("Őrség Ízei Bt."), QStringLiteral("Újpesti Pékség"), QStringLiteral("Dél-Alföld Kft."),
};
const QVector<QString> kTown = {QStringLiteral("Budapest"), QStringLiteral("Győr"), QStringLiteral("Pécs"), QStringLiteral("Szőny"),
                               QStringLiteral("Kőszeg"), QStringLiteral("Hódmezővásárhely"), QStringLiteral("Űrhegy"), QStringLiteral("Őriszentpéter"), QStringLiteral("Üllő")};
const QVector<QString> kStreet = {QStringLiteral("Fő utca"), QStringLiteral("Kossuth Lajos utca"), QStringLiteral("Petőfi tér"),
                                 QStringLiteral("Szőlő utca"), QStringLiteral("Űrhajós utca"), QStringLiteral("Rákóczi út")};
const QVector<QString> kPerson = {QStringLiteral("Kovács"), QStringLiteral("Szőke"), QStringLiteral("Tűri"), QStringLiteral("Őry"),
                                 QStringLiteral("Ürge"), QStringLiteral("Nagy"), QStringLiteral("Fehér"), QStringLiteral("Kőműves")};
const QVector<QString> kShopKind = {QStringLiteral("ABC"), QStringLiteral("Élelmiszer Bt."), QStringLiteral("Vegyesbolt"),
                                   QStringLiteral("Kisáruház Kft."), QStringLiteral("Csemege")};
const QVector<QString> kPromo = {QStringLiteral("Havi akció"), QStringLiteral("Őszi kiárusítás"), QStringLiteral("Újdonság"),
                                QStringLiteral("Szuper ár")};
const QVector<QPair<QString, QString>> kSources = {
    {"C01", QStringLiteral("Központi raktár")}, {"C02", QStringLiteral("Győri telephely")}, {"C03", QStringLiteral("Hűtött áru raktár")},
    {"C04", QStringLiteral("Őszi Kft. (szállító)")}};
// Dictionaries of the type filters: FEJ, names of its items.
const QVector<QPair<int, QVector<QString>>> kTypeDicts = {
    {4, {QStringLiteral("Élelmiszer"), QStringLiteral("Ital"), QStringLiteral("Vegyiáru"), QStringLiteral("Háztartási cikk")}},
    {5, {QStringLiteral("Hűtött"), QStringLiteral("Fagyasztott"), QStringLiteral("Száraz")}},
    {6, {QStringLiteral("Hazai"), QStringLiteral("Import")}},
    {13, {QStringLiteral("Kis kiszerelés"), QStringLiteral("Családi"), QStringLiteral("Gyűjtő")}},
    {14, {QStringLiteral("Bio"), QStringLiteral("Hagyományos")}},
    {15, {QStringLiteral("Szezonális"), QStringLiteral("Állandó"), QStringLiteral("Kifutó")}},
};

TListDBFField Fields(const QVector<std::tuple<const char*, TFieldType, int, int>>& cols)
{
    TListDBFField l;
    for (const auto& [name, type, size, dec] : cols) AddDBFField(l, name, type, false, dec, size);
    return l;
}

QString Ean13(TSampleRandom& rnd)
{
    QString d = "599";
    for (int i = 0; i < 9; ++i) d += QChar('0' + rnd.Below(10));
    int sum = 0;
    for (int i = 0; i < 12; ++i) sum += (d[i].unicode() - '0') * (i % 2 ? 3 : 1);
    return d + QChar('0' + (10 - sum % 10) % 10);
}

bool WriteTable(const QString& file, const TListDBFField& fields, int cp, const QVector<QVector<QVariant>>& rows, QTextStream& err)
{
    TDbfWriter w;
    if (!w.Begin(file, fields, cp)) {
        err << "Hibás mezőlista: " << file << "\n";
        return false;
    }
    for (const auto& r : rows) w.Append(r);
    if (!w.Commit()) {
        err << "Nem sikerült írni: " << file << "\n";
        return false;
    }
    return true;
}

int RunMakeSample(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString dir;
    qint64 products = 200;
    quint64 seed = 1;
    for (int i = 0; i < args.size(); ++i) {
        bool ok = true;
        if (args[i] == "--products" && i + 1 < args.size()) products = args[++i].toLongLong(&ok);
        else if (args[i] == "--seed" && i + 1 < args.size()) seed = args[++i].toULongLong(&ok);
        else if (dir.isEmpty() && !args[i].startsWith("--")) dir = args[i];
        else ok = false;
        if (!ok || products < 1 || products > 2000000) {
            err << "Használat: kelobolt-admin make-sample DIR [--products N] [--seed S] (N: 1..2000000)\n";
            return 1;
        }
    }
    if (dir.isEmpty()) {
        err << "Használat: kelobolt-admin make-sample DIR [--products N] [--seed S]\n";
        return 1;
    }
    const QString data = QDir(dir).filePath("Data");
    if (!QDir().mkpath(data)) {
        err << "A mappa nem hozható létre: " << data << "\n";
        return 1;
    }
    TSampleRandom rnd(seed);
    const QDate base(2024, 1, 1);
    try {
        // Manufacturers: one code per name, as the wholesaler's master holds them.
        QVector<QPair<QString, QString>> makers;
        for (int i = 0; i < kMaker.size(); ++i) makers.append({QStringLiteral("GY%1").arg(i + 1, 3, 10, QChar('0')), kMaker[i]});

        const TListDBFField termekFields = Fields({
            {"KOD", TFieldType::String, 20, 0}, {"NEV", TFieldType::String, 60, 0}, {"RENDMENNY", TFieldType::Integer, 10, 0},
            {"SUMMENNY", TFieldType::Float, 12, 2}, {"MINRMENNY", TFieldType::Integer, 10, 0}, {"DBNEAR", TFieldType::Float, 14, 2},
            {"DBBEAR", TFieldType::Float, 14, 2}, {"KARNEAR", TFieldType::Float, 14, 2}, {"KARBEAR", TFieldType::Float, 14, 2},
            {"AFA_KULCS", TFieldType::Float, 6, 2}, {"ADATUMTOL", TFieldType::Date, 0, 0}, {"ADATUMIG", TFieldType::Date, 0, 0},
            {"KARSZORZO", TFieldType::Integer, 10, 0}, {"RAKSZORZO", TFieldType::Integer, 10, 0}, {"UGYKOD", TFieldType::String, 10, 0},
            {"UGYNEV", TFieldType::String, 50, 0}, {"AKCIOS", TFieldType::Boolean, 1, 0}, {"TIPUSNEV", TFieldType::String, 40, 0},
            {"LISTAID", TFieldType::Integer, 10, 0}, {"VONALKOD", TFieldType::String, 20, 0}, {"CEGKOD", TFieldType::String, 10, 0},
            {"CEGNEV", TFieldType::String, 50, 0}, {"TIPUS1", TFieldType::Integer, 6, 0}, {"TIPUS2", TFieldType::Integer, 6, 0},
            {"TIPUS3", TFieldType::Integer, 6, 0}, {"TIPUS4", TFieldType::Integer, 6, 0}, {"TIPUS5", TFieldType::Integer, 6, 0},
            {"TIPUS6", TFieldType::Integer, 6, 0},
        });
        const TListDBFField vonalkodFields = Fields({{"TER_KOD", TFieldType::String, 20, 0}, {"TER_NEV", TFieldType::String, 50, 0},
                                                     {"TMV_MEE", TFieldType::Integer, 5, 0}, {"MER_NEV", TFieldType::String, 20, 0},
                                                     {"TMV_MENNY", TFieldType::Float, 12, 3}, {"VONALKOD", TFieldType::String, 50, 0}});
        TDbfWriter termek, vonalkod;
        if (!termek.Begin(data + "/termek.dbf", termekFields, 1250) || !vonalkod.Begin(data + "/vonalkod.dbf", vonalkodFields, 1250)) {
            err << "Hibás mezőlista\n";
            return 1;
        }
        for (qint64 i = 0; i < products; ++i) {
            const QString kod = QStringLiteral("T%1").arg(i + 1, 6, 10, QChar('0'));
            const QString nev = rnd.Pick(kFood) + " " + rnd.Pick(kSize) + (rnd.Chance(30) ? QStringLiteral(" (%1)").arg(rnd.Pick(kPerson)) : QString());
            const auto& maker = makers[rnd.Below(int(makers.size()))];
            const auto& src = kSources[rnd.Below(int(kSources.size()))];
            const double afa = QVector<double>{5, 18, 27}[rnd.Below(3)];
            const double net = (50 + rnd.Below(500000)) / 100.0;
            const double gross = std::round(net * (100 + afa)) / 100.0;
            const int carton = QVector<int>{0, 6, 10, 12, 20, 24}[rnd.Below(6)];
            const bool promo = rnd.Chance(15);
            const QString ean = Ean13(rnd);
            QVector<QVariant> row = {
                kod, nev, QVariant(), rnd.Chance(10) ? 0.0 : rnd.Below(100000) / 100.0, rnd.Chance(80) ? 0 : 1 + rnd.Below(12),
                net, gross, carton ? std::round(net * 95) / 100.0 : net, carton ? std::round(gross * 95) / 100.0 : gross, afa,
                promo ? QVariant(base.addDays(rnd.Below(300))) : QVariant(), promo ? QVariant(base.addDays(300 + rnd.Below(60))) : QVariant(),
                carton, carton * (1 + rnd.Below(10)), maker.first, maker.second, promo, promo ? rnd.Pick(kPromo) : QString(),
                1 + rnd.Below(3), ean, src.first, src.second};
            for (const auto& dict : kTypeDicts) row.append(rnd.Chance(10) ? 0 : 1 + rnd.Below(int(dict.second.size())));
            termek.Append(row);
            vonalkod.Append({kod, nev.left(50), 1, "db", 1.0, ean});
            if (carton) vonalkod.Append({kod, nev.left(50), 2, "karton", double(carton), Ean13(rnd)});
        }
        if (!termek.Commit() || !vonalkod.Commit()) {
            err << "Nem sikerült írni a termékeket: " << data << "\n";
            return 1;
        }

        QVector<QVector<QVariant>> vevok;
        const qint64 customers = qMax<qint64>(20, products / 50);
        for (qint64 i = 0; i < customers; ++i) {
            const QString status = rnd.Chance(85) ? "AKT" : QVector<QString>{"INAKT", "akt", "TOROLT"}[rnd.Below(3)];
            vevok.append({QStringLiteral("V%1").arg(i + 1, 5, 10, QChar('0')), rnd.Pick(kPerson) + " " + rnd.Pick(kShopKind),
                          QString::number(1000 + rnd.Below(9000)), rnd.Pick(kTown),
                          rnd.Pick(kStreet) + " " + QString::number(1 + rnd.Below(120)) + ".", status});
        }
        QVector<QVector<QVariant>> cegek;
        for (const auto& s : kSources) cegek.append({s.first, s.second});
        QVector<QVector<QVariant>> szotar;
        for (int i = 0; i < kPromo.size(); ++i) szotar.append({20, i + 1, kPromo[i]});
        for (const auto& dict : kTypeDicts)
            for (int i = 0; i < dict.second.size(); ++i) szotar.append({dict.first, i + 1, dict.second[i]});
        if (!WriteTable(data + "/vevo.dbf",
                        Fields({{"VKOD", TFieldType::String, 10, 0}, {"VNEV", TFieldType::String, 50, 0}, {"VIRS", TFieldType::String, 10, 0},
                                {"VVAR", TFieldType::String, 40, 0}, {"VUTC", TFieldType::String, 50, 0}, {"VTP2", TFieldType::String, 10, 0}}),
                        852, vevok, err) ||
            !WriteTable(data + "/ceg.dbf", Fields({{"KOD", TFieldType::String, 10, 0}, {"BOLTNEV", TFieldType::String, 50, 0}}), 1250,
                        cegek, err) ||
            !WriteTable(data + "/Szotartetel.dbf",
                        Fields({{"FEJ", TFieldType::Integer, 5, 0}, {"ID", TFieldType::Integer, 8, 0}, {"NEV", TFieldType::String, 60, 0}}),
                        1250, szotar, err))
            return 1;
    } catch (const EDataSetError& e) {
        err << e.Message() << "\n";
        return 1;
    }
    const QString zip = data + "/termek.zip";
    QFile::remove(zip);
    if (!ZipAddFiles(zip, {{data + "/termek.dbf", "termek.dbf"}})) {
        err << "Nem sikerült a termek.zip írása: " << zip << "\n";
        return 1;
    }
    out << "Mintaadatok: " << data << " (" << products << " termék)\n";
    return 0;
}

}  // namespace

KB_ADMIN_COMMAND("dbf-info", "dbf-info FILE", "Egy DBF tábla fejléce JSON-ban.", RunDbfInfo);
KB_ADMIN_COMMAND("dbf-dump", "dbf-dump FILE [--codepage N]", "Egy DBF tábla élő sorai, soronként egy JSON objektum.", RunDbfDump);
KB_ADMIN_COMMAND("fdb-dump", "fdb-dump FILE", "Egy FDB szövegtábla (pl. .mgr) tartalma JSON-ban.", RunFdbDump);
KB_ADMIN_COMMAND("make-sample", "make-sample DIR [--products N] [--seed S]",
                 "Minta törzsadatok egy programmappa Data/ mappájába.", RunMakeSample);
