#include "UtilMegfej.h"

#include "FileLookup.h"
#include "Messages.h"
#include "Paths.h"
#include "UtilDataSet.h"

namespace {
constexpr int kCodePage = 1250;

bool HasDeadline(const QDateTime& t)
{
    return t.isValid() && t.date() != QDate(1899, 12, 30);
}
}

QString MegfejFileName()
{
    return FindFileCI(GetDataDir() + "megfej.dbf");
}

QString ArhivMegfejFileName()
{
    return FindFileCI(GetDataDir() + "arhivmegfej.dbf");
}

QString SorszamFileName()
{
    return FindFileCI(GetDataDir() + "sorszam.dbf");
}

TListDBFField MegfejFields()
{
    TListDBFField l;
    const auto c = [&l](const char* name, int width) { AddDBFField(l, name, TFieldType::String, false, 0, width); };
    const auto n = [&l](const char* name, int width, int dec) { AddDBFField(l, name, TFieldType::Float, false, dec, width); };
    const auto d = [&l](const char* name) { AddDBFField(l, name, TFieldType::Date, false, 0, 0); };
    c("BIZSORSZAM", 20);
    n("EV", 4, 0);
    n("SORSZAM", 10, 0);
    c("UGYFELKOD", 20);
    c("UGYFELNEV", 50);
    c("IRSZAM", 10);
    c("VAROS", 50);
    c("UTCA", 50);
    c("BOLTKOD", 20);
    c("UGYNOKKOD", 20);
    c("MEGJ1", 128);
    c("MEGJ2", 128);
    d("KELT");
    c("IDO", 5);
    d("SZALLHAT");
    n("NETTO", 18, 2);
    n("BRUTTO", 18, 2);
    n("STATE", 4, 0);
    c("SRCKOD", 20);
    c("SRCNEV", 50);
    d("ELKULDVE");
    AddDBFField(l, "JELOL", TFieldType::Boolean, false, 0, 1);
    return l;
}

TListDBFField SorszamFields()
{
    TListDBFField l;
    AddDBFField(l, "ID", TFieldType::String, false, 0, 50);
    AddDBFField(l, "SORSZAM", TFieldType::Float, false, 0, 10);
    return l;
}

QString MakeBizSorszam(const QString& rendeloID, int year, int serial)
{
    const QString y = QString::number(year).rightJustified(4, '0');
    return rendeloID + "-" + y.mid(2, 2) + "-" + QString::number(serial).rightJustified(5, '0');
}

bool CreateOrderHeaderTables()
{
    const bool a = EnsureDBFTable(GetDataDir() + "megfej.dbf", MegfejFields(), kCodePage);
    const bool b = EnsureDBFTable(GetDataDir() + "arhivmegfej.dbf", MegfejFields(), kCodePage);
    return a && b;
}

bool CreateSerialNumberTable()
{
    return EnsureDBFTable(GetDataDir() + "sorszam.dbf", SorszamFields(), kCodePage);
}

qint32 NextSerialNumber(const QString& key, bool advance)
{
    TDbf t;
    if (!OpenDBF(t, SorszamFileName(), kCodePage)) return 0;
    const int id = t.FieldIndex("ID"), sorszam = t.FieldIndex("SORSZAM");
    if (id < 0 || sorszam < 0) return 0;
    bool found = false;
    for (t.First(); !t.Eof(); t.Next())
        if (t.AsString(id) == key) {
            found = true;
            break;
        }
    const qint32 result = found ? qint32(t.AsInteger(sorszam)) : 1;
    if (advance) {
        if (found) {
            t.Edit();
            t.SetValue(sorszam, qlonglong(result) + 1);
        } else {
            t.Append();
            t.SetValue(id, key);
            t.SetValue(sorszam, 2);
        }
        t.Post();
    }
    return result;
}

TSorszam StoreOrderHeader(TOrderSaveMode mode, const QString& bizSorszam, const TMegFej& header, const QString& rendeloID)
{
    TSorszam result;
    TDbf t;
    if (!OpenDBF(t, MegfejFileName(), kCodePage)) return result;
    int year = 0, serial = 0;
    QString number;
    if (mode == TOrderSaveMode::New || mode == TOrderSaveMode::SaveAsNew) {
        year = header.KELT.date().year();
        const QString key = rendeloID + QString::number(year);
        // Look first, so that a refused save takes no number.
        const qint32 next = NextSerialNumber(key, false);
        if (next <= 0) {
            ShowMsg(QStringLiteral("Rögzítés"),
                    QStringLiteral("A sorszámtábla (sorszam.dbf) nem nyitható meg, a megrendelés nem rögzíthető!"));
            return result;
        }
        if (MakeBizSorszam(rendeloID, year, next).size() > BizSorszamWidth) {
            ShowMsg(QStringLiteral("Rögzítés"),
                    QStringLiteral("A rendelő azonosító (%1) túl hosszú: a bizonylatszám legfeljebb %2 karakter lehet. "
                                   "Rövidítse le a beállításokban!")
                        .arg(rendeloID)
                        .arg(BizSorszamWidth));
            return result;
        }
        serial = NextSerialNumber(key, true);
        if (serial <= 0) {
            ShowMsg(QStringLiteral("Rögzítés"),
                    QStringLiteral("A sorszámtábla (sorszam.dbf) nem nyitható meg, a megrendelés nem rögzíthető!"));
            return result;
        }
        number = MakeBizSorszam(rendeloID, year, serial);
        if (number.size() > BizSorszamWidth) return result;
        t.Append();
        SetFieldValue(&t, "BIZSORSZAM", number);
        SetFieldValue(&t, "EV", year);
        SetFieldValue(&t, "SORSZAM", serial);
    } else {
        if (!t.Locate("BIZSORSZAM", bizSorszam)) return result;
        year = GetFieldInt(&t, "EV");
        serial = GetFieldInt(&t, "SORSZAM");
        number = GetFieldString(&t, "BIZSORSZAM");
        t.Edit();
    }
    SetFieldValue(&t, "UGYFELKOD", header.UGYFELKOD);
    SetFieldValue(&t, "UGYFELNEV", header.UGYFELNEV);
    SetFieldValue(&t, "IRSZAM", header.IRSZAM);
    SetFieldValue(&t, "VAROS", header.VAROS);
    SetFieldValue(&t, "UTCA", header.UTCA);
    SetFieldValue(&t, "BOLTKOD", header.BOLTKOD);
    SetFieldValue(&t, "UGYNOKKOD", header.UGYNOKKOD);
    SetFieldValue(&t, "MEGJ1", header.MEGJ1);
    SetFieldValue(&t, "MEGJ2", header.MEGJ2);
    SetFieldValue(&t, "KELT", header.KELT.isValid() ? QVariant(header.KELT.date()) : QVariant());
    SetFieldValue(&t, "IDO", header.IDO.left(5));
    if (HasDeadline(header.SZALLHAT)) SetFieldValue(&t, "SZALLHAT", header.SZALLHAT.date());
    SetFieldValue(&t, "NETTO", header.NETTO);
    SetFieldValue(&t, "BRUTTO", header.BRUTTO);
    SetFieldValue(&t, "STATE", 0);
    SetFieldValue(&t, "SRCKOD", header.SRCKOD);
    SetFieldValue(&t, "SRCNEV", header.SRCNEV);
    t.Post();
    result.EV = year;
    result.SORSZAM = serial;
    result.BIZSORSZAM = number;
    return result;
}

TMegFej ReadOrderHeader(const TDataSet* ds)
{
    TMegFej h;
    h.UGYFELKOD = GetFieldString(ds, "UGYFELKOD");
    h.UGYFELNEV = GetFieldString(ds, "UGYFELNEV");
    h.BOLTKOD = GetFieldString(ds, "BOLTKOD");
    h.UGYNOKKOD = GetFieldString(ds, "UGYNOKKOD");
    h.MEGJ1 = GetFieldString(ds, "MEGJ1");
    h.MEGJ2 = GetFieldString(ds, "MEGJ2");
    const QVariant sz = GetFieldValue(ds, "SZALLHAT");
    if (sz.isValid()) h.SZALLHAT = sz.typeId() == QMetaType::QDate ? sz.toDate().startOfDay() : sz.toDateTime();
    h.NETTO = GetFieldFloat(ds, "NETTO");
    h.BRUTTO = GetFieldFloat(ds, "BRUTTO");
    h.SRCKOD = GetFieldString(ds, "SRCKOD");
    h.SRCNEV = GetFieldString(ds, "SRCNEV");
    return h;
}
