#include "UtilDBF.h"

#include "CodePage.h"
#include "FileLookup.h"

#include <QDate>
#include <QtEndian>
#include <QFileInfo>
#include <QSaveFile>
#include <charconv>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/file.h>
#endif

namespace {

struct TLangDriver {
    int Byte;
    int CodePage;
};
// The usual dBase / FoxPro language drivers; the first entry of a code page is the one we write.
const TLangDriver kLangDrivers[] = {
    {0xC8, 1250}, {0x64, 852},  {0x03, 1252}, {0x01, 437},  {0x02, 850},  {0xC9, 1251}, {0xCA, 1254},
    {0xCB, 1253}, {0xCC, 1257}, {0x26, 866},  {0x65, 866},  {0x57, 1252}, {0x58, 1252}, {0x59, 1252},
    {0x1F, 852},  {0x22, 852},  {0x23, 852},  {0x40, 852},  {0x87, 852},  {0x09, 437},  {0x0B, 437},
    {0x0D, 437},  {0x0F, 437},  {0x11, 437},  {0x15, 437},  {0x18, 437},  {0x19, 437},  {0x1B, 437},
    {0x0A, 850},  {0x0E, 850},  {0x10, 850},  {0x12, 850},  {0x14, 850},  {0x16, 850},  {0x1A, 850},
    {0x1D, 850},  {0x25, 850},  {0x37, 850},  {0x08, 865},  {0x17, 865},  {0x66, 865},  {0x1C, 863},
    {0x6C, 863},  {0x24, 860},  {0x67, 861},  {0x6A, 737},  {0x6B, 857},  {0x88, 857},  {0x7D, 1255},
    {0x7E, 1256}, {0x50, 874},  {0x7C, 874},
};

constexpr qint64 kMaxRecordBytes = qint64(2) * 1024 * 1024 * 1024;

bool IsBlank(const char* p, int len)
{
    for (int i = 0; i < len; ++i)
        if (p[i] != ' ' && p[i] != '\0') return false;
    return true;
}

// Trims blanks (and NULs) on both sides of a numeric or date field.
void TrimRange(const char*& b, const char*& e)
{
    while (b < e && (*b == ' ' || *b == '\0')) ++b;
    while (e > b && (e[-1] == ' ' || e[-1] == '\0')) --e;
}

// The common form of a numeric field, blanks around "-123.45": up to 15 digits, read exactly as
// an integer over a power of ten (one correctly rounded division, the same double as a full
// parse). Answers false for anything else, which then goes through the full parse.
bool ParseSimpleDecimal(const char* b, const char* e, double& out)
{
    static const double kPow10[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    while (b < e && (*b == ' ' || *b == '\0')) ++b;
    bool neg = false;
    if (b < e && (*b == '-' || *b == '+')) neg = *b++ == '-';
    qint64 m = 0;
    int digits = 0, frac = -1;
    for (; b < e; ++b) {
        const char c = *b;
        if (c >= '0' && c <= '9') {
            if (++digits > 15) return false;
            m = m * 10 + (c - '0');
            if (frac >= 0) ++frac;
        } else if ((c == '.' || c == ',') && frac < 0) {
            frac = 0;
        } else {
            break;
        }
    }
    while (b < e && (*b == ' ' || *b == '\0')) ++b;
    if (b != e || digits == 0) return false;
    out = double(m) / kPow10[frac > 0 ? frac : 0];
    if (neg) out = -out;
    return true;
}

bool ParseDouble(const char* b, const char* e, double& out)
{
    if (ParseSimpleDecimal(b, e, out)) return true;
    TrimRange(b, e);
    if (b == e) return false;
    char buf[64];
    const qsizetype n = e - b;
    if (n >= qsizetype(sizeof buf)) return false;
    for (qsizetype i = 0; i < n; ++i) buf[i] = b[i] == ',' ? '.' : b[i];
    const char* s = buf;
    if (*s == '+') ++s;
    const auto r = std::from_chars(s, buf + n, out);
    return r.ec == std::errc() && r.ptr == buf + n;
}

bool ParseInteger(const char* b, const char* e, qint64& out)
{
    {
        // Blanks around plain digits with an optional sign: the usual content, in one pass.
        const char* p = b;
        while (p < e && (*p == ' ' || *p == '\0')) ++p;
        const bool neg = p < e && *p == '-';
        if (p < e && (*p == '-' || *p == '+')) ++p;
        qint64 v = 0;
        int n = 0;
        while (p < e && *p >= '0' && *p <= '9' && n < 18) v = v * 10 + (*p++ - '0'), ++n;
        while (p < e && (*p == ' ' || *p == '\0')) ++p;
        if (p == e && n > 0) {
            out = neg ? -v : v;
            return true;
        }
    }
    TrimRange(b, e);
    if (b == e) return false;
    const char* s = b;
    if (*s == '+') ++s;
    const auto r = std::from_chars(s, e, out);
    if (r.ec == std::errc() && r.ptr == e) return true;
    double d = 0;
    if (!ParseDouble(b, e, d) || d > 9.2e18 || d < -9.2e18) return false;
    out = qRound64(d);
    return true;
}

// yyyymmdd; false for blanks and for anything that is not a real date.
bool ParseDate(const char* p, qint64& julian)
{
    int v[3] = {0, 0, 0};
    const int widths[3] = {4, 2, 2};
    int pos = 0;
    for (int k = 0; k < 3; ++k) {
        for (int i = 0; i < widths[k]; ++i, ++pos) {
            const char c = p[pos];
            if (c < '0' || c > '9') return false;
            v[k] = v[k] * 10 + (c - '0');
        }
    }
    const QDate d(v[0], v[1], v[2]);
    if (!d.isValid()) return false;
    julian = d.toJulianDay();
    return true;
}

qint32 ReadI32(const char* p)
{
    quint32 v;
    std::memcpy(&v, p, 4);
    return qint32(qFromLittleEndian(v));
}

qint64 ReadI64(const char* p)
{
    quint64 v;
    std::memcpy(&v, p, 8);
    return qint64(qFromLittleEndian(v));
}

double ReadDouble(const char* p)
{
    const qint64 bits = ReadI64(p);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

void WriteI32(char* p, qint32 v)
{
    const quint32 le = qToLittleEndian(quint32(v));
    std::memcpy(p, &le, 4);
}

void WriteI64(char* p, qint64 v)
{
    const quint64 le = qToLittleEndian(quint64(v));
    std::memcpy(p, &le, 8);
}

QString FieldTooWide(const TDbfFieldInfo& f, const QString& text)
{
    return QStringLiteral("A(z) %1 mező értéke (%2) nem fér el a %3 karakteres mezőben.").arg(f.Name, text).arg(f.Length);
}

// Writes one value into its place in a record buffer. Null: blanks (binary types: zeros).
void EncodeField(char* dst, const TDbfFieldInfo& f, const QVariant& v, const TCodePage* cp)
{
    if (f.Memo) return;
    const bool null = !v.isValid() || v.isNull();
    switch (f.Type) {
    case 'C': {
        std::memset(dst, ' ', size_t(f.Length));
        if (null) return;
        const QByteArray b = cp->Encode(v.toString());
        std::memcpy(dst, b.constData(), size_t(qMin<qsizetype>(b.size(), f.Length)));
        return;
    }
    case 'N':
    case 'F': {
        std::memset(dst, ' ', size_t(f.Length));
        if (null) return;
        bool ok = false;
        double d = v.typeId() == QMetaType::QString ? v.toString().trimmed().replace(',', '.').toDouble(&ok) : v.toDouble(&ok);
        if (!ok) {
            if (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty()) return;
            throw EDataSetError(QStringLiteral("\"%1\" nem szám (%2 mező).").arg(v.toString(), f.Name));
        }
        QByteArray text = f.Decimals > 0 ? QByteArray::number(d, 'f', f.Decimals) : QByteArray::number(qRound64(d));
        if (text == "-0") text = "0";
        if (text.size() > f.Length) throw EDataSetError(FieldTooWide(f, QString::fromLatin1(text)));
        std::memcpy(dst + (f.Length - text.size()), text.constData(), size_t(text.size()));
        return;
    }
    case 'D': {
        std::memset(dst, ' ', 8);
        if (null) return;
        const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
        if (!d.isValid() || d.year() < 1 || d.year() > 9999) return;
        const QByteArray t = d.toString(QStringLiteral("yyyyMMdd")).toLatin1();
        std::memcpy(dst, t.constData(), 8);
        return;
    }
    case 'L':
        *dst = null ? ' ' : (v.toBool() ? 'T' : 'F');
        return;
    case 'I':
        WriteI32(dst, null ? 0 : qint32(v.toLongLong()));
        return;
    case 'B': {
        const double d = null ? 0.0 : v.toDouble();
        qint64 bits;
        std::memcpy(&bits, &d, 8);
        WriteI64(dst, bits);
        return;
    }
    case 'Y':
        WriteI64(dst, null ? 0 : qRound64(v.toDouble() * 10000.0));
        return;
    case 'T': {
        if (null) {
            std::memset(dst, 0, 8);
            return;
        }
        const QDateTime t = v.typeId() == QMetaType::QDate ? v.toDate().startOfDay() : v.toDateTime();
        WriteI32(dst, qint32(t.date().toJulianDay()));
        WriteI32(dst + 4, t.time().msecsSinceStartOfDay());
        return;
    }
    default:
        return;
    }
}

// Field descriptors of a field list for writing. False (with a reason) for lists we cannot write.
bool InfosOfList(const TListDBFField& list, QVector<TDbfFieldInfo>& infos, QString& why)
{
    infos.clear();
    int offset = 1;
    for (const TDBFField& f : list) {
        TDbfFieldInfo i;
        i.Name = f.FieldName.left(10).toUpper();
        if (i.Name.isEmpty() || i.Name.toLatin1() != i.Name.toUtf8()) {
            why = QStringLiteral("érvénytelen mezőnév: %1").arg(f.FieldName);
            return false;
        }
        for (const TDbfFieldInfo& o : infos)
            if (o.Name == i.Name) {
                why = QStringLiteral("kétszer szereplő mezőnév: %1").arg(i.Name);
                return false;
            }
        i.FieldType = f.FieldType;
        switch (f.FieldType) {
        case TFieldType::String: i.Type = 'C'; i.Length = f.Size; break;
        case TFieldType::Boolean: i.Type = 'L'; i.Length = 1; break;
        case TFieldType::Date: i.Type = 'D'; i.Length = 8; break;
        case TFieldType::DateTime: i.Type = 'T'; i.Length = 8; break;
        case TFieldType::Float: i.Type = 'N'; i.Length = f.Size; i.Decimals = f.Precision; break;
        case TFieldType::Integer: i.Type = 'N'; i.Length = f.Size; break;
        }
        if (i.Length < 1 || i.Length > 254 || i.Decimals < 0 || (i.Decimals > 0 && i.Decimals >= i.Length)) {
            why = QStringLiteral("érvénytelen mezőméret: %1").arg(i.Name);
            return false;
        }
        if (i.Type == 'N') i.FieldType = (i.Decimals > 0 || i.Length > 18) ? TFieldType::Float : TFieldType::Integer;
        i.Offset = offset;
        offset += i.Length;
        infos.append(i);
    }
    if (infos.isEmpty()) {
        why = QStringLiteral("nincs mező");
        return false;
    }
    return true;
}

int RecordLengthOf(const QVector<TDbfFieldInfo>& infos)
{
    int n = 1;
    for (const TDbfFieldInfo& i : infos) n += i.Length;
    return n;
}

void PutHeaderDate(char* h)
{
    const QDate today = QDate::currentDate();
    h[1] = char(qBound(0, today.year() - 1900, 255));
    h[2] = char(today.month());
    h[3] = char(today.day());
}

QByteArray BuildHeader(const QVector<TDbfFieldInfo>& infos, int codePage, qint64 records)
{
    const int headerLen = 32 + 32 * int(infos.size()) + 1;
    QByteArray h(headerLen, '\0');
    h[0] = 0x03;
    PutHeaderDate(h.data());
    WriteI32(h.data() + 4, qint32(records));
    h[8] = char(headerLen & 0xFF);
    h[9] = char(headerLen >> 8);
    const int recLen = RecordLengthOf(infos);
    h[10] = char(recLen & 0xFF);
    h[11] = char(recLen >> 8);
    h[29] = char(LanguageDriverOfCodePage(codePage));
    for (int k = 0; k < infos.size(); ++k) {
        char* d = h.data() + 32 + 32 * k;
        const QByteArray name = infos[k].Name.toLatin1();
        std::memcpy(d, name.constData(), size_t(qMin<qsizetype>(name.size(), 10)));
        d[11] = infos[k].Type;
        d[16] = char(infos[k].Length);
        d[17] = char(infos[k].Decimals);
    }
    h[headerLen - 1] = 0x0D;
    return h;
}

bool WriteWhole(const QString& fileName, const QByteArray& a, const QByteArray& b = {}, const QByteArray& c = {})
{
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly)) return false;
    if (out.write(a) != a.size() || out.write(b) != b.size() || out.write(c) != c.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

int EffectiveCodePage(int codePage)
{
    return (codePage > 0 && TCodePage::Get(codePage)) ? codePage : 1250;
}

}  // namespace

int CodePageOfLanguageDriver(int ld)
{
    for (const TLangDriver& d : kLangDrivers)
        if (d.Byte == ld) return d.CodePage;
    return 0;
}

int LanguageDriverOfCodePage(int cp)
{
    for (const TLangDriver& d : kLangDrivers)
        if (d.CodePage == cp) return d.Byte;
    return 0;
}

// ---------------------------------------------------------------- TDbf

TDbf::TDbf(QObject* parent) : TDataSet(parent) {}

TDbf::~TDbf()
{
    ReleaseFile();
}

bool TDbf::Fail(const QString& message)
{
    FError = message;
    ReleaseFile();
    CloseView();
    return false;
}

void TDbf::ReleaseFile()
{
#ifdef Q_OS_UNIX
    if (FFile && FFile->isOpen()) flock(FFile->handle(), LOCK_UN);
#endif
    FFile.reset();
    FRecords.clear();
    FHeader.clear();
    FInfo.clear();
    FRecCount = 0;
}

void TDbf::Close()
{
    if (State() == TDataSetState::Edit || State() == TDataSetState::Insert) Cancel();
    CloseView();
    ReleaseFile();
}

int TDbf::FileCodePage() const
{
    return CodePageOfLanguageDriver(FLangDriver);
}

bool TDbf::Open(const QString& fileName, int codePage, TDbfOpenMode mode)
{
    Close();
    FError.clear();
    FFileName = fileName;
    FMode = mode;
    FFile = std::make_unique<QFile>(fileName);
    if (!QFileInfo(fileName).isFile()) return Fail(QStringLiteral("A tábla nem található: %1").arg(fileName));
    if (!FFile->open(QIODevice::ReadWrite) && !FFile->open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("A tábla nem nyitható meg: %1").arg(fileName));
#ifdef Q_OS_UNIX
    if (flock(FFile->handle(), (mode == TDbfOpenMode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0)
        return Fail(QStringLiteral("A táblát más használja: %1").arg(fileName));
#endif
    const qint64 size = FFile->size();
    if (size < 33) return Fail(QStringLiteral("Sérült tábla (túl rövid): %1").arg(fileName));
    FHeader = FFile->read(32);
    if (FHeader.size() != 32) return Fail(QStringLiteral("A tábla nem olvasható: %1").arg(fileName));
    const uchar* h = reinterpret_cast<const uchar*>(FHeader.constData());
    FVersion = h[0];
    FRecCount = qint64(quint32(ReadI32(FHeader.constData() + 4)));
    FHeaderLen = h[8] | (h[9] << 8);
    FRecordLen = h[10] | (h[11] << 8);
    FLangDriver = h[29];
    if (FHeaderLen < 33 || FHeaderLen > size || FRecordLen < 1)
        return Fail(QStringLiteral("Sérült tábla (fejléc): %1").arg(fileName));
    FHeader += FFile->read(FHeaderLen - 32);
    if (FHeader.size() != FHeaderLen) return Fail(QStringLiteral("A tábla nem olvasható: %1").arg(fileName));

    // Field descriptors up to the 0x0D terminator.
    int offset = 1;
    for (int pos = 32; pos + 32 <= FHeaderLen && uchar(FHeader[pos]) != 0x0D; pos += 32) {
        const char* d = FHeader.constData() + pos;
        TDbfFieldInfo f;
        int nameLen = 0;
        while (nameLen < 11 && d[nameLen] != '\0') ++nameLen;
        f.Name = QString::fromLatin1(d, nameLen).trimmed();
        f.Type = char(QChar::fromLatin1(d[11]).toUpper().toLatin1());
        f.Length = uchar(d[16]);
        f.Decimals = uchar(d[17]);
        f.Offset = offset;
        const bool system = (uchar(d[18]) & 0x01) != 0;
        switch (f.Type) {
        case 'C': f.FieldType = TFieldType::String; break;
        case 'N': f.FieldType = (f.Decimals > 0 || f.Length > 18) ? TFieldType::Float : TFieldType::Integer; break;
        case 'F': f.FieldType = TFieldType::Float; break;
        case 'D': f.FieldType = TFieldType::Date; break;
        case 'L': f.FieldType = TFieldType::Boolean; break;
        case 'I': f.FieldType = TFieldType::Integer; if (f.Length != 4) return Fail(QStringLiteral("Sérült tábla (mezőhossz %1): %2").arg(f.Name, fileName)); break;
        case 'Y': f.FieldType = TFieldType::Float; if (f.Length != 8) return Fail(QStringLiteral("Sérült tábla (mezőhossz %1): %2").arg(f.Name, fileName)); break;
        case 'T': f.FieldType = TFieldType::DateTime; if (f.Length != 8) return Fail(QStringLiteral("Sérült tábla (mezőhossz %1): %2").arg(f.Name, fileName)); break;
        case 'B': if (f.Length == 8) f.FieldType = TFieldType::Float; else f.Memo = true; break;
        case 'M': case 'G': case 'P': f.Memo = true; break;
        case '0': break;  // FoxPro's hidden null-flags column
        default:
            return Fail(QStringLiteral("Ismeretlen mezőtípus (%1) a(z) %2 mezőben: %3").arg(QChar::fromLatin1(f.Type), f.Name, fileName));
        }
        if (f.Length == 0 || f.Name.isEmpty()) return Fail(QStringLiteral("Sérült tábla (mezőleíró): %1").arg(fileName));
        offset += f.Length;
        if (f.Type == '0' || (system && f.Name.startsWith('_'))) continue;
        FInfo.append(f);
    }
    if (FInfo.isEmpty()) return Fail(QStringLiteral("Sérült tábla (nincs mező): %1").arg(fileName));
    if (offset != FRecordLen) return Fail(QStringLiteral("Sérült tábla (rekordhossz): %1").arg(fileName));
    const qint64 need = FRecCount * FRecordLen;
    if (need > kMaxRecordBytes || FHeaderLen + need > size)
        return Fail(QStringLiteral("Sérült tábla (a rekordszám nem egyezik a fájl méretével): %1").arg(fileName));
    FFile->seek(FHeaderLen);
    FRecords = FFile->read(need);
    if (FRecords.size() != need) return Fail(QStringLiteral("A tábla nem olvasható: %1").arg(fileName));

    int cp = codePage > 0 ? codePage : CodePageOfLanguageDriver(FLangDriver);
    if (cp <= 0) cp = 1250;
    const TCodePage* table = TCodePage::Get(cp);
    if (!table) return Fail(QStringLiteral("Ismeretlen kódlap: %1").arg(cp));
    FCodePage = cp;
    char bytes[256];
    for (int b = 0; b < 256; ++b) bytes[b] = char(b);
    const QString all = table->Decode(bytes, 256);
    for (int b = 0; b < 256; ++b) FDecode[size_t(b)] = all.size() == 256 ? all.at(b).unicode() : char16_t(b);

    TFieldDefs defs;
    for (const TDbfFieldInfo& f : FInfo) {
        TFieldDef d;
        d.Name = f.Name;
        d.Type = f.FieldType;
        d.Size = f.Length;
        d.Precision = f.Decimals;
        d.ReadOnly = f.Memo;
        defs.append(d);
    }
    SetFieldDefs(defs);
    OpenView();
    return true;
}

const char* TDbf::RecordData(qint64 row) const
{
    if (row < 0 || row >= FRecCount) return nullptr;
    return FRecords.constData() + row * FRecordLen;
}

bool TDbf::StoredDeleted(qint64 row) const
{
    const char* r = RecordData(row);
    return !r || *r == '*';
}

QVariant TDbf::DecodeField(const char* rec, int field) const
{
    if (!rec || field < 0 || field >= FInfo.size()) return {};
    const TDbfFieldInfo& f = FInfo[field];
    const char* p = rec + f.Offset;
    switch (f.Type) {
    case 'C': {
        int n = f.Length;
        while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0')) --n;
        if (n == 0) return {};
        QString s(n, Qt::Uninitialized);
        char16_t* out = reinterpret_cast<char16_t*>(s.data());
        for (int i = 0; i < n; ++i) out[i] = FDecode[uchar(p[i])];
        return s;
    }
    case 'N':
    case 'F':
        if (f.FieldType == TFieldType::Integer) {
            qint64 i = 0;
            return ParseInteger(p, p + f.Length, i) ? QVariant(qlonglong(i)) : QVariant();
        } else {
            double d = 0;
            return ParseDouble(p, p + f.Length, d) ? QVariant(d) : QVariant();
        }
    case 'D': {
        qint64 jd = 0;
        if (f.Length < 8 || !ParseDate(p, jd)) return {};
        return QDate::fromJulianDay(jd);
    }
    case 'L':
        switch (*p) {
        case 'T': case 't': case 'Y': case 'y': return true;
        case 'F': case 'f': case 'N': case 'n': return false;
        default: return {};
        }
    case 'I': return qlonglong(ReadI32(p));
    case 'B': return f.Memo ? QVariant() : QVariant(ReadDouble(p));
    case 'Y': return double(ReadI64(p)) / 10000.0;
    case 'T': {
        const qint32 jd = ReadI32(p), ms = ReadI32(p + 4);
        if (jd <= 0) return {};
        const QDate d = QDate::fromJulianDay(jd);
        const QTime t = QTime::fromMSecsSinceStartOfDay(qBound(0, ms, 86399999));
        if (!d.isValid()) return {};
        return QDateTime(d, t);
    }
    default: return {};
    }
}

QVariant TDbf::StoredValue(qint64 row, int field) const
{
    return DecodeField(RecordData(row), field);
}

QByteArray TDbf::EncodeRecord(const QVector<QVariant>& values, const char* old) const
{
    QByteArray rec = old ? QByteArray(old, FRecordLen) : QByteArray(FRecordLen, ' ');
    if (!old) {
        // Binary fields and FoxPro's null flags start as zeros in a new record.
        int offset = 1;
        for (int pos = 32; pos + 32 <= FHeaderLen && uchar(FHeader[pos]) != 0x0D; pos += 32) {
            const char t = FHeader[pos + 11];
            const int len = uchar(FHeader[pos + 16]);
            if (t == '0' || t == 'I' || t == 'Y' || t == 'T' || (t == 'B' && len == 8))
                std::memset(rec.data() + offset, 0, size_t(len));
            offset += len;
        }
    }
    rec[0] = ' ';
    const TCodePage* cp = TCodePage::Get(FCodePage);
    for (int f = 0; f < FInfo.size(); ++f) EncodeField(rec.data() + FInfo[f].Offset, FInfo[f], values.value(f), cp);
    return rec;
}

void TDbf::WriteAt(qint64 pos, const QByteArray& bytes)
{
    if (!FFile || !FFile->isOpen() || !FFile->isWritable())
        throw EDataSetError(QStringLiteral("A tábla csak olvasható: %1").arg(FFileName));
    if (!FFile->seek(pos) || FFile->write(bytes) != bytes.size() || !FFile->flush())
        throw EDataSetError(QStringLiteral("Nem sikerült írni a táblába: %1").arg(FFileName));
}

void TDbf::WriteHeaderCount()
{
    // Bytes 1..7 of the header: date of the last change and the record count.
    char h[8] = {0};
    PutHeaderDate(h);
    WriteI32(h + 4, qint32(FRecCount));
    const QByteArray part(h + 1, 7);
    WriteAt(1, part);
    std::memcpy(FHeader.data() + 1, part.constData(), 7);
}

qint64 TDbf::StoreRow(qint64 row, const QVector<QVariant>& values)
{
    if (row >= 0) {
        const QByteArray rec = EncodeRecord(values, RecordData(row));
        WriteAt(FHeaderLen + row * FRecordLen, rec);
        std::memcpy(FRecords.data() + row * FRecordLen, rec.constData(), size_t(FRecordLen));
        return row;
    }
    const QByteArray rec = EncodeRecord(values, nullptr);
    const qint64 newRow = FRecCount;
    WriteAt(FHeaderLen + newRow * FRecordLen, rec + char(0x1A));
    FRecords.append(rec);
    FRecCount = newRow + 1;
    WriteHeaderCount();
    return newRow;
}

void TDbf::DeleteStored(qint64 row)
{
    if (!RecordData(row)) return;
    WriteAt(FHeaderLen + row * FRecordLen, QByteArray(1, '*'));
    FRecords[row * FRecordLen] = '*';
}

void TDbf::Pack()
{
    if (!Active()) throw EDataSetError(QStringLiteral("A tábla nincs megnyitva."));
    if (FMode != TDbfOpenMode::Exclusive)
        throw EDataSetError(QStringLiteral("A tábla tömörítéséhez kizárólagos megnyitás kell: %1").arg(FFileName));
    QByteArray records;
    qint64 live = 0;
    for (qint64 r = 0; r < FRecCount; ++r) {
        const char* p = RecordData(r);
        if (*p == '*') continue;
        records.append(p, FRecordLen);
        ++live;
    }
    QByteArray header = FHeader;
    char tmp[8] = {0};
    PutHeaderDate(tmp);
    header[1] = tmp[1];
    header[2] = tmp[2];
    header[3] = tmp[3];
    WriteI32(header.data() + 4, qint32(live));
    if (!WriteWhole(FFileName, header, records, QByteArray(1, char(0x1A))))
        throw EDataSetError(QStringLiteral("Nem sikerült tömöríteni a táblát: %1").arg(FFileName));
    const QString name = FFileName;
    const int cp = FCodePage;
    if (!Open(name, cp, TDbfOpenMode::Exclusive))
        throw EDataSetError(QStringLiteral("A tömörített tábla nem nyitható meg: %1").arg(name));
}

// ---------------------------------------------------------------- helpers

void AddDBFField(TListDBFField& list, const QString& name, TFieldType type, bool required, int precision, int size)
{
    TDBFField f;
    f.FieldName = name.left(64);
    f.FieldType = type;
    f.Required = required;
    f.Precision = precision;
    f.Size = type == TFieldType::Date ? 0 : size;
    list.append(f);
}

int FindDBFField(const TListDBFField& list, const QString& name)
{
    for (int i = 0; i < list.size(); ++i)
        if (list[i].FieldName.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

bool OpenDBF(TDbf& dbf, const QString& fileName, int codePage)
{
    dbf.Close();
    return dbf.Open(FindFileCI(fileName), codePage, TDbfOpenMode::Shared);
}

bool CreateDBFTable(const QString& fileName, const TListDBFField& fields, int codePage)
{
    QVector<TDbfFieldInfo> infos;
    QString why;
    if (!InfosOfList(fields, infos, why)) return false;
    return WriteWhole(fileName, BuildHeader(infos, EffectiveCodePage(codePage), 0), QByteArray(1, char(0x1A)));
}

void ReadDBFFields(const QString& fileName, TListDBFField& fields)
{
    fields.clear();
    TDbf dbf;
    if (!dbf.Open(FindFileCI(fileName), 0)) return;
    for (const TDbfFieldInfo& i : dbf.DbfFields()) {
        TDBFField f;
        f.FieldName = i.Name;
        f.FieldType = i.FieldType;
        f.Size = i.FieldType == TFieldType::Date ? 0 : i.Length;
        f.Precision = i.Decimals;
        fields.append(f);
    }
    dbf.Close();
}

bool RestructureDBFTable(const QString& fileName, const TListDBFField& fields, int codePage)
{
    QVector<TDbfFieldInfo> infos;
    QString why;
    if (!InfosOfList(fields, infos, why)) return false;
    const QString path = FindFileCI(fileName);
    const int cp = EffectiveCodePage(codePage);
    TDbf old;
    if (!old.Open(path, cp)) return false;
    const TCodePage* table = TCodePage::Get(cp);
    const int recLen = RecordLengthOf(infos);
    const qint64 count = old.PhysicalRecordCount();
    QVector<int> from(infos.size(), -1);
    for (int k = 0; k < infos.size(); ++k)
        for (int o = 0; o < old.DbfFields().size(); ++o)
            if (old.DbfFields()[o].Name.compare(infos[k].Name, Qt::CaseInsensitive) == 0) from[k] = o;
    QByteArray records;
    try {
        records.reserve(qsizetype(count * recLen));
        QByteArray rec(recLen, ' ');
        for (qint64 r = 0; r < count; ++r) {
            const char* src = old.RecordData(r);
            rec.fill(' ');
            rec[0] = src[0] == '*' ? '*' : ' ';
            for (int k = 0; k < infos.size(); ++k) {
                const TDbfFieldInfo& ni = infos[k];
                if (from[k] >= 0) {
                    const TDbfFieldInfo& oi = old.DbfFields()[from[k]];
                    if (oi.Type == ni.Type && oi.Length == ni.Length && oi.Decimals == ni.Decimals && !oi.Memo) {
                        std::memcpy(rec.data() + ni.Offset, src + oi.Offset, size_t(ni.Length));
                        continue;
                    }
                    EncodeField(rec.data() + ni.Offset, ni, old.DecodeField(src, from[k]), table);
                } else {
                    EncodeField(rec.data() + ni.Offset, ni, QVariant(), table);
                }
            }
            records.append(rec);
        }
    } catch (const EDataSetError&) {
        return false;
    }
    old.Close();
    return WriteWhole(path, BuildHeader(infos, cp, count), records, QByteArray(1, char(0x1A)));
}

bool EnsureDBFTable(const QString& fileName, const TListDBFField& fields, int codePage)
{
    const QString path = FindFileCI(fileName);
    if (!QFileInfo::exists(path)) return CreateDBFTable(fileName, fields, codePage);
    int count = 0;
    {
        TDbf dbf;
        if (!dbf.Open(path, codePage)) return false;
        count = dbf.FieldCount();
    }
    if (count == fields.size()) return true;
    return RestructureDBFTable(path, fields, codePage);
}

bool PackDBFTable(const QString& fileName)
{
    TDbf dbf;
    if (!dbf.Open(FindFileCI(fileName), 0, TDbfOpenMode::Exclusive)) return false;
    try {
        dbf.Pack();
    } catch (const EDataSetError&) {
        return false;
    }
    return true;
}

void CopyMatchingFields(TDataSet& source, TDataSet& destination)
{
    for (int f = 0; f < source.FieldCount(); ++f) {
        const int d = destination.FieldIndex(source.Fields()[f].Name);
        if (d < 0 || destination.Fields()[d].ReadOnly) continue;
        destination.SetValue(d, source.Value(f));
    }
}

int CopyDbfToMemory(TDbf& dbf, TRxMemoryData& memory)
{
    const TFieldDefs defs = dbf.Fields();
    const QVector<TDbfFieldInfo>& infos = dbf.DbfFields();
    const int n = dbf.RecordCount();
    memory.BeginLoad(defs, n);
    std::array<char16_t, 256> decode{};
    {
        const TCodePage* cp = TCodePage::Get(dbf.CodePage());
        char bytes[256];
        for (int b = 0; b < 256; ++b) bytes[b] = char(b);
        const QString all = cp ? cp->Decode(bytes, 256) : QString();
        for (int b = 0; b < 256; ++b) decode[size_t(b)] = all.size() == 256 ? all.at(b).unicode() : char16_t(b);
    }
    // Room for the texts, estimated from the first rows, so the pools are not copied while they grow.
    {
        const int sample = qMin(n, 512);
        for (int f = 0; f < infos.size(); ++f) {
            if (infos[f].Type != 'C' || sample == 0) continue;
            qint64 chars = 0;
            for (int r = 0; r < sample; ++r) {
                const char* p = dbf.RecordData(dbf.StoredRowAt(r)) + infos[f].Offset;
                int len = infos[f].Length;
                while (len > 0 && (p[len - 1] == ' ' || p[len - 1] == '\0')) --len;
                chars += len;
            }
            memory.ReservePool(f, chars * n / sample + chars * n / sample / 8 + 64);
        }
    }
    std::vector<char16_t> buf(256 * 256);
    for (int r = 0; r < n; ++r) {
        const char* rec = dbf.RecordData(dbf.StoredRowAt(r));
        const qint64 row = memory.AddRow();
        for (int f = 0; f < infos.size(); ++f) {
            const TDbfFieldInfo& fi = infos[f];
            const char* p = rec + fi.Offset;
            switch (fi.Type) {
            case 'C': {
                int len = fi.Length;
                while (len > 0 && (p[len - 1] == ' ' || p[len - 1] == '\0')) --len;
                if (len == 0) break;
                for (int i = 0; i < len; ++i) buf[size_t(i)] = decode[uchar(p[i])];
                memory.LoadText(row, f, buf.data(), len);
                break;
            }
            case 'N':
            case 'F':
                if (fi.FieldType == TFieldType::Integer) {
                    qint64 v = 0;
                    if (ParseInteger(p, p + fi.Length, v)) memory.LoadInteger(row, f, v);
                } else {
                    double d = 0;
                    if (ParseDouble(p, p + fi.Length, d)) memory.LoadFloat(row, f, d);
                }
                break;
            case 'D': {
                qint64 jd = 0;
                if (fi.Length >= 8 && !IsBlank(p, 8) && ParseDate(p, jd)) memory.LoadDate(row, f, jd);
                break;
            }
            default: {
                const QVariant v = dbf.DecodeField(rec, f);
                if (!v.isValid()) break;
                switch (fi.FieldType) {
                case TFieldType::Boolean: memory.LoadBoolean(row, f, v.toBool()); break;
                case TFieldType::Integer: memory.LoadInteger(row, f, v.toLongLong()); break;
                case TFieldType::Float: memory.LoadFloat(row, f, v.toDouble()); break;
                case TFieldType::DateTime: memory.LoadDateTime(row, f, v.toDateTime().toMSecsSinceEpoch()); break;
                case TFieldType::Date: memory.LoadDate(row, f, v.toDate().toJulianDay()); break;
                case TFieldType::String: {
                    const QString s = v.toString();
                    memory.LoadText(row, f, reinterpret_cast<const char16_t*>(s.utf16()), s.size());
                    break;
                }
                }
            }
            }
        }
    }
    memory.EndLoad();
    return n;
}

// ---------------------------------------------------------------- writer

bool TDbfWriter::Begin(const QString& fileName, const TListDBFField& fields, int codePage)
{
    FFileName = fileName;
    FCodePage = EffectiveCodePage(codePage);
    FRecords.clear();
    FCount = 0;
    QString why;
    return InfosOfList(fields, FInfo, why);
}

void TDbfWriter::Append(const QVector<QVariant>& values)
{
    const int recLen = RecordLengthOf(FInfo);
    QByteArray rec(recLen, ' ');
    const TCodePage* cp = TCodePage::Get(FCodePage);
    for (int f = 0; f < FInfo.size(); ++f) EncodeField(rec.data() + FInfo[f].Offset, FInfo[f], values.value(f), cp);
    FRecords.append(rec);
    ++FCount;
}

bool TDbfWriter::Commit()
{
    if (FInfo.isEmpty()) return false;
    const bool ok = WriteWhole(FFileName, BuildHeader(FInfo, FCodePage, FCount), FRecords, QByteArray(1, char(0x1A)));
    FRecords.clear();
    return ok;
}
