// kelobolt-admin's settings commands: the value cipher, the administrator password, and reading
// and writing the main settings file in its stored forms.
#include "AdminCommand.h"

#include "ValueCipher.h"

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
}

KB_ADMIN_COMMAND("encrypt", "encrypt --key settings|ftp|sync VALUE", "Az érték titkosított (tárolt) alakja a megadott kulccsal.", RunEncrypt);
KB_ADMIN_COMMAND("decrypt", "decrypt --key settings|ftp|sync STORED", "Egy tárolt (titkosított) érték visszafejtése a megadott kulccsal.", RunDecrypt);
