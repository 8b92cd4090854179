#include "Utils.h"

#include "CodePage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

QString CutText(const QString& text, int n)
{
    return text.size() > n ? text.left(n) : text;
}

bool StrIsOne(const QString& text) { return text == QLatin1String("1"); }
QString BoolToDigit(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }

namespace {
bool ParseDecimal(const QString& text, qint64 min, qint64 max, qint64* out)
{
    QString t = text;
    int i = 0;
    while (i < t.size() && t.at(i) == QLatin1Char(' ')) ++i;
    t = t.mid(i);
    if (t.isEmpty()) return false;
    int start = (t.at(0) == QLatin1Char('+') || t.at(0) == QLatin1Char('-')) ? 1 : 0;
    if (start >= t.size()) return false;
    for (int k = start; k < t.size(); ++k)
        if (t.at(k) < QLatin1Char('0') || t.at(k) > QLatin1Char('9')) return false;
    bool ok = false;
    const qint64 v = t.toLongLong(&ok, 10);
    if (!ok || v < min || v > max) return false;
    *out = v;
    return true;
}

// x read back from its 15-significant-digit scientific form.
double Normalise15(double x, bool* ok)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", x);
    char* end = nullptr;
    const double v = std::strtod(buf, &end);
    *ok = end && *end == '\0' && std::isfinite(v);
    return v;
}
}

qint32 StrToIntSafe(const QString& text)
{
    qint64 v = 0;
    return ParseDecimal(text, INT32_MIN, INT32_MAX, &v) ? static_cast<qint32>(v) : 0;
}

qint64 StrToInt64Safe(const QString& text)
{
    qint64 v = 0;
    return ParseDecimal(text, INT64_MIN, INT64_MAX, &v) ? v : 0;
}

double RoundDec(int n, double x)
{
    bool ok = false;
    const double v = Normalise15(x, &ok);
    if (!ok) return x;
    const double scale = std::pow(10.0, n);
    // The scaled value is normalised the same way, so a half that the multiplication moved a
    // representation error below .5 (1.005 * 100 = 100.49999999999999) still counts as a half.
    double a = v * scale;
    bool okA = false;
    const double an = Normalise15(a, &okA);
    if (okA) a = an;
    double ip = std::trunc(a);
    const double frac = std::fabs(a - ip);
    if (frac >= 0.5) ip += (x >= 0) ? 1.0 : -1.0;
    const double r = ip / scale;
    return r == 0.0 ? 0.0 : r;  // no negative zero
}

double RoundProduct(int n, double a, double b) { return RoundDec(n, a * b); }

double AddPercentRounded(int n, double base, double percent)
{
    return RoundDec(n, base + RoundDec(n, base / 100.0 * percent));
}

bool HasCommandLineSwitch(const QStringList& arguments, const QString& text)
{
    QString joined;
    for (const QString& a : arguments) joined += a.toUpper() + QChar(0xFF);
    return joined.contains(text.toUpper());
}

int FindSimpleID(const TListSimpleID& list, const QString& id)
{
    for (int i = 0; i < list.size(); ++i)
        if (list.at(i).ID == id) return i;
    return -1;
}

void AddSimpleID(TListSimpleID& list, const QString& id, const QString& name)
{
    if (id.isEmpty() || name.isEmpty()) return;
    const QString cutId = CutText(id, 10);
    int i = FindSimpleID(list, cutId);
    if (i < 0) {
        list.append(TSimpleID{cutId, QString()});
        i = list.size() - 1;
    }
    list[i].Name = CutText(name, 50);
}

void SortSimpleIDByName(TListSimpleID& list)
{
    // Byte order of the names as the files hold them: code page 1250.
    const TCodePage* cp = TCodePage::Get(1250);
    QVector<QPair<QByteArray, TSimpleID>> keyed;
    keyed.reserve(list.size());
    for (const TSimpleID& e : list) keyed.append({cp->Encode(e.Name), e});
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return std::lexicographical_compare(a.first.begin(), a.first.end(), b.first.begin(), b.first.end(),
                                            [](char x, char y) { return uchar(x) < uchar(y); });
    });
    for (int i = 0; i < keyed.size(); ++i) list[i] = keyed.at(i).second;
}

void SimpleIDNamesToStrings(const TListSimpleID& list, QStringList& strings)
{
    strings.clear();
    for (const TSimpleID& e : list) strings << e.Name;
}

void SzotarTetelNamesToStrings(const TListSzotarTetel& list, QStringList& strings, bool clearFirst)
{
    if (clearFirst) strings.clear();
    for (const TSzotarTetel& e : list)
        if (!strings.contains(e.Name, Qt::CaseInsensitive)) strings << e.Name;
}

TVonalkod MakeVonalkod(const QString& terKod, const QString& terNev, qint32 tmvMee, const QString& merNev,
                       double tmvMenny, const QString& vonalkod)
{
    return TVonalkod{CutText(terKod, 20), CutText(terNev, 50), tmvMee, CutText(merNev, 20), tmvMenny, CutText(vonalkod, 50)};
}

namespace {
bool AsciiEqualsNoCase(const QString& a, const QString& b)
{
    if (a.size() != b.size()) return false;
    for (int i = 0; i < a.size(); ++i) {
        char16_t x = a.at(i).unicode(), y = b.at(i).unicode();
        if (x >= 'a' && x <= 'z') x -= 32;
        if (y >= 'a' && y <= 'z') y -= 32;
        if (x != y) return false;
    }
    return true;
}
}

int FindVonalkodByText(const TListVonalkod& list, const QString& text)
{
    for (int i = 0; i < list.size(); ++i)
        if (AsciiEqualsNoCase(list.at(i).VONALKOD, text)) return i;
    return -1;
}

TListFileInfo FindFiles(const QString& folder, const QString& mask)
{
    TListFileInfo out;
    QDir dir(folder);
    dir.setNameFilters({mask});
    dir.setFilter(QDir::Files);  // hidden and system entries are not found
    dir.setSorting(QDir::Name);
    const QFileInfoList entries = dir.entryInfoList();
    for (const QFileInfo& fi : entries) {
        TFileInfo info;
        info.Name = CutText(fi.fileName(), 128);
        info.Size = static_cast<qint32>(std::min<qint64>(fi.size(), INT32_MAX));
        info.Time = static_cast<qint32>(fi.lastModified().toSecsSinceEpoch());
        out.append(info);
    }
    return out;
}

void DeleteListedFiles(const QString& folder, const TListFileInfo& list)
{
    for (const TFileInfo& e : list) QFile::remove(folder + e.Name);
}
