#pragma once
// The value cipher of the settings files: Blowfish, keyed afresh for every value, in the
// programs' own byte-preserving chaining mode, stored as upper-case hexadecimal text (two digits
// per byte, high half first). The cipher works on the code page 1250 bytes of the value and of
// the key; a character that code page cannot hold is enciphered as "?".
//
// Nothing carries from one call to the next: every call starts its chaining afresh (key
// schedules are kept per thread, as they depend on the key alone), so the functions may be
// called from any thread.
#include <QString>
#include <stdexcept>

// The three built-in key texts:
extern const QString KeySettings;  // the settings key: protected [Main] values of the main settings file
extern const QString KeyFtp;       // the FTP key: FTP passwords of the main settings file, KeloFtp.ini, KeloFtpSyncIni.ini
extern const QString KeySync;      // the sync key: FTP passwords of the sync client's KeloFtpSync.ini

// The stored form of value under key. The empty value gives the empty text. A key that is
// empty or longer than 56 bytes cannot key the cipher: the answer is then the empty text.
QString EncryptValue(const QString& value, const QString& key);

// KeloBolt's deciphering: the value of a stored text. Upper- and lower-case digits are taken;
// a single digit left over at the end is dropped. Any other character in stored, an empty key
// or a key over 56 bytes gives the empty text (not an error). A wrong key is not detected: the
// answer is then text of the right length that means nothing.
QString DecryptValue(const QString& stored, const QString& key);

// Raised by DecryptValueRaising for a stored text or key that cannot be deciphered.
class EDecryptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The sync client's deciphering: as DecryptValue, but bad input throws EDecryptError (its
// what() is a Hungarian sentence in UTF-8 naming the fault) instead of answering empty text.
QString DecryptValueRaising(const QString& stored, const QString& key);

// The byte level under the two above, for the tools and tests: the cipher bytes of plain under
// key bytes, and back. Both throw EDecryptError for an empty key or one over 56 bytes.
QByteArray EncipherBytes(const QByteArray& plain, const QByteArray& key);
QByteArray DecipherBytes(const QByteArray& cipher, const QByteArray& key);
