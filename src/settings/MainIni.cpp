#include "MainIni.h"

#include "FileLookup.h"
#include "IniFile.h"
#include "Paths.h"
#include "ProgramDir.h"
#include "ValueCipher.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {
const QString kMain = QStringLiteral("Main");
const QString kUser = QStringLiteral("User");
const QString kFtpSync = QStringLiteral("FTPSync");

// Where a field lives in the record, with its default and range.
struct TFieldSlot {
    QString TMainIni::*text = nullptr;
    bool TMainIni::*flag = nullptr;
    int TMainIni::*number = nullptr;
    int capacity = -1;  // texts: at most this many characters (-1: no limit)
    int min = INT32_MIN;
    int max = INT32_MAX;
};

struct TFieldDef {
    TMainIniField field;
    TFieldSlot slot;
};

TFieldSlot Text(QString TMainIni::*m, int capacity = -1) { TFieldSlot s; s.text = m; s.capacity = capacity; return s; }
TFieldSlot Flag(bool TMainIni::*m) { TFieldSlot s; s.flag = m; return s; }
TFieldSlot Number(int TMainIni::*m, int min = INT32_MIN, int max = INT32_MAX)
{
    TFieldSlot s;
    s.number = m;
    s.min = min;
    s.max = max;
    return s;
}

const QVector<TFieldDef>& Defs()
{
    using F = TMainIniForm;
    static const QVector<TFieldDef> defs = {
        {{kMain, "RendeloID", F::ProtectedText, {}}, Text(&TMainIni::RendeloID)},
        {{kMain, "DefBoltKod", F::ProtectedText, {}}, Text(&TMainIni::DefBoltKod)},
        {{kMain, "DefUgynokKod", F::ProtectedText, {}}, Text(&TMainIni::DefUgynokKod)},
        {{kMain, "UseUgyfelKod", F::ProtectedBool, "_UseBoltKod"}, Flag(&TMainIni::UseUgyfelKod)},
        {{kMain, "UseUgynokKod", F::ProtectedBool, "_UseUgynokKod"}, Flag(&TMainIni::UseUgynokKod)},
        {{kMain, "CheckKarton", F::ProtectedInt, "_CheckKarton"}, Number(&TMainIni::CheckKarton, 0, 2)},
        {{kMain, "CheckKeszlet", F::ProtectedInt, "_CheckKeszlet"}, Number(&TMainIni::CheckKeszlet, 0, 2)},
        {{kMain, "UseMinRend", F::ProtectedBool, "_UseMinRend"}, Flag(&TMainIni::UseMinRend)},
        {{kMain, "ArhivNap", F::PlainInt, {}}, Number(&TMainIni::ArhivNap)},
        {{kMain, "KotelezoUgyfelkod", F::ProtectedBool, "_KotelezoUgyfelkod"}, Flag(&TMainIni::KotelezoUgyfelkod)},
        {{kUser, "AutoDataSync", F::PlainBool, {}}, Flag(&TMainIni::AutoDataSync)},
        {{kUser, "DefState", F::PlainInt, {}}, Number(&TMainIni::DefState, -1, 2)},
        {{kUser, "PicWidth", F::PlainInt, {}}, Number(&TMainIni::PicWidth)},
        {{kUser, "TermekTipus", F::PlainInt, {}}, Number(&TMainIni::TermekTipus, 0, 6)},
        {{kMain, "AutoProgramSync", F::ProtectedBool, "_AutoProgramSync"}, Flag(&TMainIni::AutoProgramSync)},
        {{kMain, "UseKartonAr", F::ProtectedBool, "_UseKartonAr"}, Flag(&TMainIni::UseKartonAr)},
        {{kFtpSync, "Server", F::PlainText, {}}, Text(&TMainIni::Server, kMainIniFtpTextCapacity)},
        {{kFtpSync, "User", F::PlainText, {}}, Text(&TMainIni::User, kMainIniFtpTextCapacity)},
        {{kFtpSync, "Password", F::FtpPassword, {}}, Text(&TMainIni::Password, kMainIniFtpTextCapacity)},
        {{kFtpSync, "Port", F::PlainInt, {}}, Number(&TMainIni::Port, 0, 65535)},
        {{kFtpSync, "Passive", F::PlainBool, {}}, Flag(&TMainIni::Passive)},
        {{kFtpSync, "Active", F::PlainBool, {}}, Flag(&TMainIni::Active)},
        {{kFtpSync, "IniFilePath", F::PlainText, {}}, Text(&TMainIni::IniFilePath)},
        {{kFtpSync, "IniFileName", F::PlainText, {}}, Text(&TMainIni::IniFileName)},
    };
    return defs;
}

QString Capped(const QString& s, int capacity)
{
    return capacity >= 0 ? s.left(capacity) : s;
}

// Optional sign and decimal digits, within 32 bits.
bool ParseDecimal(const QString& s, int* out)
{
    bool ok = false;
    if (s.isEmpty() || s.trimmed() != s) return false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (!(c.isDigit() && c.unicode() < 128) && !(i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+')))) return false;
    }
    const int v = s.toInt(&ok, 10);
    if (ok) *out = v;
    return ok;
}

void ReadField(const TIniFile& file, TMainIni& ini, const TFieldDef& d)
{
    static const TMainIni defaults;
    const TMainIniField& f = d.field;
    const TFieldSlot& s = d.slot;
    switch (f.form) {
    case TMainIniForm::ProtectedText:
        ini.*s.text = Capped(DecryptValue(file.ReadString(f.section, f.key), KeySettings), s.capacity);
        break;
    case TMainIniForm::ProtectedBool:
        ini.*s.flag = DecryptBoolValue(file.ReadString(f.section, f.key), KeySettings, f.suffix, defaults.*s.flag);
        break;
    case TMainIniForm::ProtectedInt:
        // A missing key stands for the cipher of the default's digits (CheckKeszlet reads 1);
        // a key that is present but empty reads 0.
        ini.*s.number = DecryptIntValue(file.ReadString(f.section, f.key, EncryptValue(QString::number(defaults.*s.number), KeySettings)),
                                        KeySettings, f.suffix);
        break;
    case TMainIniForm::PlainText:
        ini.*s.text = Capped(file.ReadString(f.section, f.key), s.capacity);
        break;
    case TMainIniForm::PlainInt:
        ini.*s.number = file.ReadInteger(f.section, f.key, defaults.*s.number);
        break;
    case TMainIniForm::PlainBool:
        ini.*s.flag = file.ReadBool(f.section, f.key, defaults.*s.flag);
        break;
    case TMainIniForm::FtpPassword:
        ini.*s.text = Capped(DecryptValue(file.ReadString(f.section, f.key), KeyFtp), s.capacity);
        break;
    }
}

QString StoredValue(const TMainIni& ini, const TFieldDef& d)
{
    const TMainIniField& f = d.field;
    const TFieldSlot& s = d.slot;
    switch (f.form) {
    case TMainIniForm::ProtectedText: return EncryptValue(Capped(ini.*s.text, s.capacity), KeySettings);
    case TMainIniForm::ProtectedBool: return EncryptBoolValue(ini.*s.flag, KeySettings, f.suffix);
    case TMainIniForm::ProtectedInt: return EncryptIntValue(ini.*s.number, KeySettings, f.suffix);
    case TMainIniForm::PlainText: return Capped(ini.*s.text, s.capacity);
    case TMainIniForm::PlainInt: return QString::number(ini.*s.number);
    case TMainIniForm::PlainBool: return ini.*s.flag ? QStringLiteral("1") : QStringLiteral("0");
    case TMainIniForm::FtpPassword: return EncryptValue(Capped(ini.*s.text, s.capacity), KeyFtp);
    }
    return QString();
}

QString MainIniPath()
{
    return FindFileCI(GetMainIniFileName());
}
}

QString EncryptBoolValue(bool value, const QString& key, const QString& suffix)
{
    return EncryptValue((value ? QStringLiteral("1") : QStringLiteral("0")) + suffix, key);
}

bool DecryptBoolValue(const QString& stored, const QString& key, const QString& /*suffix*/, bool def)
{
    const QString plain = DecryptValue(stored, key);
    if (plain.isEmpty()) return def;
    return plain.at(0) == QLatin1Char('1');
}

QString EncryptIntValue(int value, const QString& key, const QString& suffix)
{
    return EncryptValue(QString::number(value) + suffix, key);
}

int DecryptIntValue(const QString& stored, const QString& key, const QString& suffix)
{
    if (stored.isEmpty()) return 0;
    QString plain = DecryptValue(stored, key);
    if (!suffix.isEmpty()) {
        const qsizetype at = plain.indexOf(suffix, 0, Qt::CaseSensitive);
        if (at >= 0) plain.remove(at, suffix.size());
    }
    int v = 0;
    return ParseDecimal(plain, &v) ? v : 0;
}

void ReadMainIniFile(const QString& fileName, TMainIni& ini)
{
    const TIniFile file(fileName);
    for (const TFieldDef& d : Defs()) ReadField(file, ini, d);
}

bool WriteMainIniFile(const QString& fileName, const TMainIni& ini)
{
    TIniFile file;
    file.SetFileName(fileName);
    if (!file.Load()) return false;
    for (const TFieldDef& d : Defs()) file.WriteString(d.field.section, d.field.key, StoredValue(ini, d));
    return file.Save();
}

void ReadMainIni(TMainIni& ini)
{
    ReadMainIniFile(MainIniPath(), ini);
}

bool WriteMainIni(const TMainIni& ini)
{
    return WriteMainIniFile(MainIniPath(), ini);
}

bool MergeIniFile(const QString& source, const QString& target, bool deleteSource)
{
    if (!QFileInfo(source).isFile() || !QFileInfo(target).isFile()) return false;
    TIniFile from, to;
    from.SetFileName(source);
    to.SetFileName(target);
    if (!from.Load() || !to.Load()) return false;
    // Walks the lines rather than the lookups, so that a section repeated further down (as when
    // upgrade lines are appended one after another) counts too; a repeated key keeps its first value.
    QSet<QString> done;
    for (const TIniEntry& e : from.Entries()) {
        const QString id = e.section.toLower() + QLatin1Char('\n') + e.key.toLower();
        if (e.key.isEmpty() || done.contains(id)) continue;
        done.insert(id);
        to.WriteString(e.section, e.key, e.value);
    }
    if (!to.Save()) return false;
    if (deleteSource) QFile::remove(source);
    return true;
}

bool ApplyIniUpgrade()
{
    const QString source = FindFileCI(ProgramDir() + QStringLiteral("iniupgrade.ini"));
    if (!MergeIniFile(source, MainIniPath(), true)) return false;
    QFile::remove(source);
    return true;
}

const QVector<TMainIniField>& MainIniFields()
{
    static const QVector<TMainIniField> fields = [] {
        QVector<TMainIniField> out;
        for (const TFieldDef& d : Defs()) out << d.field;
        return out;
    }();
    return fields;
}

int FindMainIniField(const QString& key)
{
    const auto& defs = Defs();
    for (int i = 0; i < defs.size(); ++i)
        if (defs.at(i).field.key.compare(key, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QString MainIniFieldValue(const TMainIni& ini, int field)
{
    const TFieldSlot& s = Defs().at(field).slot;
    if (s.text) return ini.*s.text;
    if (s.flag) return ini.*s.flag ? QStringLiteral("1") : QStringLiteral("0");
    return QString::number(ini.*s.number);
}

bool SetMainIniFieldValue(TMainIni& ini, int field, const QString& text, QString* error)
{
    const TFieldDef& d = Defs().at(field);
    const TFieldSlot& s = d.slot;
    QString why;
    if (s.text) {
        if (s.capacity >= 0 && text.size() > s.capacity)
            why = QStringLiteral("A(z) %1 legfeljebb %2 karakter lehet.").arg(d.field.key).arg(s.capacity);
        else
            ini.*s.text = text;
    } else if (s.flag) {
        const QString t = text.trimmed().toLower();
        if (t == QLatin1String("1") || t == QLatin1String("igen") || t == QLatin1String("true"))
            ini.*s.flag = true;
        else if (t == QLatin1String("0") || t == QLatin1String("nem") || t == QLatin1String("false"))
            ini.*s.flag = false;
        else
            why = QStringLiteral("A(z) %1 értéke 1 vagy 0 (igen vagy nem) lehet.").arg(d.field.key);
    } else {
        int v = 0;
        if (!ParseDecimal(text.trimmed(), &v))
            why = QStringLiteral("A(z) %1 értéke egész szám kell legyen.").arg(d.field.key);
        else if (v < s.min || v > s.max)
            why = QStringLiteral("A(z) %1 értéke %2 és %3 között lehet.").arg(d.field.key).arg(s.min).arg(s.max);
        else
            ini.*s.number = v;
    }
    if (why.isEmpty()) return true;
    if (error) *error = why;
    return false;
}

QString MainIniStoredValue(const TMainIni& ini, int field)
{
    return StoredValue(ini, Defs().at(field));
}

bool WriteMainIniField(const QString& fileName, const TMainIni& ini, int field)
{
    const TFieldDef& d = Defs().at(field);
    TIniFile file;
    file.SetFileName(fileName);
    if (!file.Load()) return false;
    file.WriteString(d.field.section, d.field.key, StoredValue(ini, d));
    return file.Save();
}
