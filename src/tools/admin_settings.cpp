// kelobolt-admin's settings commands: the value cipher, the administrator password, and reading
// and writing the main settings file in its stored forms.
#include "AdminCommand.h"

#include "AdminPassword.h"
#include "FileLookup.h"
#include "MainIni.h"
#include "ProgramDir.h"
#include "ValueCipher.h"

#include <QDateTime>
#include <QFileInfo>

namespace {
// "--key settings|ftp|sync": the key text, or a null text for an unknown name.
QString KeyByName(const QString& name)
{
    if (name == QLatin1String("settings")) return KeySettings;
    if (name == QLatin1String("ftp")) return KeyFtp;
    if (name == QLatin1String("sync")) return KeySync;
    return QString();
}

// Parses "--key NAME ARG" (the option may also follow the argument, or be "--key=NAME").
bool KeyAndArgument(const QStringList& args, QString* key, QString* arg, QTextStream& err)
{
    QString keyName;
    QStringList rest;
    bool onlyArgs = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (!onlyArgs && a == QLatin1String("--")) {
            onlyArgs = true;
        } else if (!onlyArgs && a == QLatin1String("--key")) {
            if (i + 1 >= args.size()) {
                err << "A --key után meg kell adni a kulcs nevét (settings, ftp vagy sync).\n";
                return false;
            }
            keyName = args.at(++i);
        } else if (!onlyArgs && a.startsWith(QLatin1String("--key="))) {
            keyName = a.mid(6);
        } else {
            rest << a;
        }
    }
    if (keyName.isEmpty()) {
        err << "Hiányzik a kulcs: --key settings, --key ftp vagy --key sync.\n";
        return false;
    }
    *key = KeyByName(keyName);
    if (key->isNull()) {
        err << "Ismeretlen kulcs: " << keyName << " (settings, ftp vagy sync lehet).\n";
        return false;
    }
    if (rest.size() != 1) {
        err << "Pontosan egy értéket kell megadni.\n";
        return false;
    }
    *arg = rest.first();
    return true;
}

int RunEncrypt(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString key, value;
    if (!KeyAndArgument(args, &key, &value, err)) return 1;
    out << EncryptValue(value, key) << "\n";
    return 0;
}

int RunDecrypt(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString key, stored;
    if (!KeyAndArgument(args, &key, &stored, err)) return 1;
    try {
        out << DecryptValueRaising(stored, key) << "\n";
    } catch (const EDecryptError& e) {
        err << QString::fromUtf8(e.what()) << "\n";
        return 1;
    }
    return 0;
}

int RunAdminPassword(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (!args.isEmpty()) {
        err << "Az admin-password parancsnak nincs argumentuma.\n";
        return 1;
    }
    out << BuildAdminPassword(QDateTime::currentDateTime()) << "\n";
    return 0;
}

// Takes "--dir DIR" (or "--dir=DIR") out of args; answers the settings file's name in that
// folder (default: the tool's own folder), or a null text after an error.
QString SettingsFileFromArgs(QStringList& args, QTextStream& err)
{
    QString dir = ProgramDir();
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args.at(i);
        if (a == QLatin1String("--")) {
            args.removeAt(i);
            break;
        }
        if (a == QLatin1String("--dir") || a.startsWith(QLatin1String("--dir="))) {
            if (a == QLatin1String("--dir")) {
                if (i + 1 >= args.size()) {
                    err << "A --dir után meg kell adni a program mappáját.\n";
                    return QString();
                }
                dir = args.at(i + 1);
                args.remove(i, 2);
            } else {
                dir = a.mid(6);
                args.removeAt(i);
            }
            --i;
        }
    }
    if (!QFileInfo(dir).isDir()) {
        err << "A mappa nem létezik: " << dir << "\n";
        return QString();
    }
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return FindFileCI(dir + QStringLiteral("KeloBoltiRendelo.ini"));
}

// The field named by key, or -1 after an error message.
int FieldFromName(const QString& key, QTextStream& err)
{
    const int field = FindMainIniField(key);
    if (field >= 0) return field;
    QStringList names;
    for (const TMainIniField& f : MainIniFields()) names << f.key;
    err << "Ismeretlen beállítás: " << key << "\nA beállítások: " << names.join(QStringLiteral(", ")) << "\n";
    return -1;
}

int RunShowSettings(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QStringList args = arguments;
    const QString file = SettingsFileFromArgs(args, err);
    if (file.isNull()) return 1;
    if (!args.isEmpty()) {
        err << "Fölösleges argumentum: " << args.first() << "\n";
        return 1;
    }
    if (!QFileInfo(file).isFile()) err << "Nincs beállításfájl (" << file << "), az alapértékek következnek.\n";
    TMainIni ini;
    ReadMainIniFile(file, ini);
    for (int i = 0; i < MainIniFields().size(); ++i) out << MainIniFields().at(i).key << "=" << MainIniFieldValue(ini, i) << "\n";
    return 0;
}

int RunSetSetting(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QStringList args = arguments;
    const QString file = SettingsFileFromArgs(args, err);
    if (file.isNull()) return 1;
    if (args.size() != 2) {
        err << "Használat: set-setting [--dir MAPPA] KULCS ÉRTÉK\n";
        return 1;
    }
    const int field = FieldFromName(args.at(0), err);
    if (field < 0) return 1;
    TMainIni ini;
    ReadMainIniFile(file, ini);
    QString why;
    if (!SetMainIniFieldValue(ini, field, args.at(1), &why)) {
        err << why << "\n";
        return 1;
    }
    if (!WriteMainIniField(file, ini, field)) {
        err << "Nem sikerült írni a beállításfájlt: " << file << "\n";
        return 1;
    }
    out << MainIniFields().at(field).key << "=" << MainIniFieldValue(ini, field) << "\n";
    return 0;
}

int RunUpgradeLine(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 2) {
        err << "Használat: upgrade-line KULCS ÉRTÉK\n";
        return 1;
    }
    const int field = FieldFromName(args.at(0), err);
    if (field < 0) return 1;
    TMainIni ini;
    QString why;
    if (!SetMainIniFieldValue(ini, field, args.at(1), &why)) {
        err << why << "\n";
        return 1;
    }
    const TMainIniField& f = MainIniFields().at(field);
    out << "[" << f.section << "]\n" << f.key << "=" << MainIniStoredValue(ini, field) << "\n";
    return 0;
}
}

KB_ADMIN_COMMAND("encrypt", "encrypt --key settings|ftp|sync VALUE", "Az érték titkosított (tárolt) alakja a megadott kulccsal.", RunEncrypt);
KB_ADMIN_COMMAND("decrypt", "decrypt --key settings|ftp|sync STORED", "Egy tárolt (titkosított) érték visszafejtése a megadott kulccsal.", RunDecrypt);
KB_ADMIN_COMMAND("admin-password", "admin-password", "A most érvényes adminisztrátori jelszó.", RunAdminPassword);
KB_ADMIN_COMMAND("show-settings", "show-settings [--dir DIR]", "A KeloBoltiRendelo.ini minden beállítása visszafejtve, Kulcs=Érték soronként.", RunShowSettings);
KB_ADMIN_COMMAND("set-setting", "set-setting [--dir DIR] KEY VALUE", "Egy beállítás írása tárolt alakjában; a fájl többi része változatlan marad.", RunSetSetting);
KB_ADMIN_COMMAND("upgrade-line", "upgrade-line KEY VALUE", "Az iniupgrade.ini-be írandó szakasz- és Kulcs=tárolt sor egy beállításhoz.", RunUpgradeLine);
