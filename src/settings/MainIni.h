#pragma once
// The main settings file, KeloBoltiRendelo.ini in the program folder ([Main], [User], [FTPSync]).
//
// Settings are never cached: every reader reads the file into a fresh TMainIni when it needs it.
// Reading never fails: a missing file, a missing key, a non-numeric integer or a protected value
// that is not valid cipher text gives that field's default (protected integers 0, texts empty);
// nothing is shown. Writing replaces only the record's own keys; every other line, key and
// comment of the file stays, and the file is replaced whole (see TIniFile::Save).
#include <QString>
#include <QVector>

// Capacity of the [FTPSync] texts Server, User and Password; longer values are cut to it.
constexpr int kMainIniFtpTextCapacity = 128;

// One reading of the settings file, in the file's order. The member initialisers are the
// defaults of a missing file.
struct TMainIni {
    // [Main]
    QString RendeloID;            // protected text
    QString DefBoltKod;           // protected text
    QString DefUgynokKod;         // protected text
    bool UseUgyfelKod = false;    // protected boolean, suffix "_UseBoltKod"
    bool UseUgynokKod = false;    // protected boolean, suffix "_UseUgynokKod"
    int CheckKarton = 0;          // protected integer 0..2, suffix "_CheckKarton"
    int CheckKeszlet = 1;         // protected integer 0..2, suffix "_CheckKeszlet"
    bool UseMinRend = false;      // protected boolean, suffix "_UseMinRend"
    int ArhivNap = 60;            // plain integer
    bool KotelezoUgyfelkod = false;  // protected boolean, suffix "_KotelezoUgyfelkod"
    // [User]
    bool AutoDataSync = false;    // plain boolean
    int DefState = -1;            // plain integer: 0 new, 1 sent, 2 all
    int PicWidth = 220;           // plain integer
    int TermekTipus = 0;          // plain integer 0..6
    // [Main]
    bool AutoProgramSync = false; // protected boolean, suffix "_AutoProgramSync"
    bool UseKartonAr = true;      // protected boolean, suffix "_UseKartonAr"
    // [FTPSync]
    QString Server;               // plain text, at most 128 characters
    QString User;                 // plain text, at most 128 characters
    QString Password;             // enciphered with the FTP key, at most 128 characters
    int Port = 21;                // plain integer
    bool Passive = false;         // plain boolean
    bool Active = false;          // plain boolean
    QString IniFilePath;          // plain text
    QString IniFileName;          // plain text

    bool operator==(const TMainIni&) const = default;
};

// Reads the program folder's settings file (its name matched without regard to case).
void ReadMainIni(TMainIni& ini);
// Writes every field of the record into the program folder's settings file, creating it when
// missing. False when the file could not be written; it is then left as it was.
bool WriteMainIni(const TMainIni& ini);
// The same for a settings file named by the caller (tools, tests).
void ReadMainIniFile(const QString& fileName, TMainIni& ini);
bool WriteMainIniFile(const QString& fileName, const TMainIni& ini);

// Protected booleans and integers: the cipher of "1"/"0" or of the decimal digits, followed by
// the suffix. DecryptBoolValue answers def when the deciphered text is empty, otherwise whether
// its first character is "1" (the suffix is not compared). DecryptIntValue answers 0 for an
// empty stored text; it removes the first occurrence of the suffix (exact case) and answers the
// rest as a decimal integer, or 0 when it is not one.
QString EncryptBoolValue(bool value, const QString& key, const QString& suffix);
bool DecryptBoolValue(const QString& stored, const QString& key, const QString& suffix, bool def);
QString EncryptIntValue(int value, const QString& key, const QString& suffix);
int DecryptIntValue(const QString& stored, const QString& key, const QString& suffix);

// Copies every key of every section of source, in file order, into target with its value as
// written (no ciphering: protected values must already be enciphered in source). A section that
// appears twice in source contributes the keys of both; a key that appears twice, its first value. False, with
// nothing changed, when either file is missing or cannot be read, and when target cannot be
// written (source is then kept). On success deletes source when deleteSource is set.
bool MergeIniFile(const QString& source, const QString& target, bool deleteSource);
// Merges iniupgrade.ini of the program folder into the settings file and deletes it; false when
// either is missing (nothing is then changed) or the merge failed.
bool ApplyIniUpgrade();

// The record's fields described for the administrator's tools, in the record's order.
enum class TMainIniForm { ProtectedText, ProtectedBool, ProtectedInt, PlainText, PlainInt, PlainBool, FtpPassword };
struct TMainIniField {
    QString section;
    QString key;
    TMainIniForm form;
    QString suffix;  // protected booleans and integers
};
const QVector<TMainIniField>& MainIniFields();
int FindMainIniField(const QString& key);  // without regard to case; -1 when unknown
// A field's value as text: texts as they are, booleans "1"/"0", integers in decimal.
QString MainIniFieldValue(const TMainIni& ini, int field);
// Sets a field from text (booleans: 1/0, igen/nem, true/false; integers in decimal, within the
// field's range). False with a Hungarian reason in *error when the text does not fit the field.
bool SetMainIniFieldValue(TMainIni& ini, int field, const QString& text, QString* error);
// The text the settings file holds for a field (enciphered where the field is protected).
QString MainIniStoredValue(const TMainIni& ini, int field);
// Writes that one key of the named settings file, leaving everything else as it was.
bool WriteMainIniField(const QString& fileName, const TMainIni& ini, int field);
