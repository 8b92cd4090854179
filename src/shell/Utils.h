#pragma once
// Text, number and list helpers shared by the whole program. None of them shows a message;
// missing or unreadable input gives a neutral value.
#include <QString>
#include <QStringList>
#include <QVector>

// Keeps at most n characters (the fixed-capacity text fields of the records).
QString CutText(const QString& text, int n);

bool StrIsOne(const QString& text);          // exactly "1"
QString BoolToDigit(bool value);             // "1" / "0"
qint32 StrToIntSafe(const QString& text);    // decimal 32-bit integer, else 0
qint64 StrToInt64Safe(const QString& text);  // decimal 64-bit integer, else 0

// x rounded to n decimals, halves away from zero. A value that lies a representation error
// below a half (2.5 computed as a product) counts as the half.
double RoundDec(int n, double x);
double RoundProduct(int n, double a, double b);          // RoundDec(n, a * b)
double AddPercentRounded(int n, double base, double percent);  // RoundDec(n, b + RoundDec(n, b / 100 * p))

// True when text occurs in the upper-cased command-line arguments joined with char 255
// after each (so it is found in any case and inside a longer argument).
bool HasCommandLineSwitch(const QStringList& arguments, const QString& text);

// ---- ID / name pairs (manufacturers) ----
struct TSimpleID {
    QString ID;    // at most 10 characters
    QString Name;  // at most 50 characters
};
using TListSimpleID = QVector<TSimpleID>;

int FindSimpleID(const TListSimpleID& list, const QString& id);  // exact; -1 when absent
// Nothing when either text is empty; appends a new ID, and the last name given for an ID wins.
void AddSimpleID(TListSimpleID& list, const QString& id, const QString& name);
// Ascending by name, byte by byte (a prefix comes first); equal names keep their order.
void SortSimpleIDByName(TListSimpleID& list);
void SimpleIDNamesToStrings(const TListSimpleID& list, QStringList& strings);

// ---- dictionary items ----
struct TSzotarTetel {
    qint32 ID = 0;
    QString Name;  // at most 50 characters
};
using TListSzotarTetel = QVector<TSzotarTetel>;
// Optionally clears the strings, then adds every name they do not hold yet (case ignored).
void SzotarTetelNamesToStrings(const TListSzotarTetel& list, QStringList& strings, bool clearFirst);

// ---- barcodes ----
struct TVonalkod {
    QString TER_KOD;   // 20
    QString TER_NEV;   // 50
    qint32 TMV_MEE = 0;
    QString MER_NEV;   // 20
    double TMV_MENNY = 0;
    QString VONALKOD;  // 50
};
using TListVonalkod = QVector<TVonalkod>;
// Builds an entry with every text cut to its capacity.
TVonalkod MakeVonalkod(const QString& terKod, const QString& terNev, qint32 tmvMee, const QString& merNev,
                       double tmvMenny, const QString& vonalkod);
// First entry whose VONALKOD equals the text, ASCII letters compared without case; -1 when none.
int FindVonalkodByText(const TListVonalkod& list, const QString& text);

// ---- file lists ----
struct TFileInfo {
    qint32 Time = 0;
    qint32 Size = 0;
    qint32 Attr = 0;
    QString Name;  // at most 128 characters
    qint32 ExcludeAttr = 0;
};
using TListFileInfo = QVector<TFileInfo>;
// Plain files of a folder matching a mask ("*.syn"), case-insensitively, hidden ones left out.
TListFileInfo FindFiles(const QString& folder, const QString& mask);
// Deletes folder + Name of every entry; missing files are skipped silently.
void DeleteListedFiles(const QString& folder, const TListFileInfo& list);
