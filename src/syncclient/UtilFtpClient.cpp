#include "UtilFtpClient.h"

#include "CodePage.h"

#include <QUrl>
#include <curl/curl.h>

struct TFtpCallbacks {
    static size_t ToDevice(char* data, size_t size, size_t count, void* user)
    {
        auto* sink = static_cast<std::pair<QIODevice*, qint64*>*>(user);
        const qint64 n = qint64(size * count);
        if (sink->first->write(data, n) != n) return 0;  // a write error aborts the transfer
        *sink->second += n;
        return size_t(n);
    }
    static size_t ToBuffer(char* data, size_t size, size_t count, void* user)
    {
        static_cast<QByteArray*>(user)->append(data, qsizetype(size * count));
        return size * count;
    }
    static int Debug(CURL*, curl_infotype type, char* data, size_t size, void* user)
    {
        if (type != CURLINFO_HEADER_OUT) return 0;
        auto* self = static_cast<TFtpClient*>(user);
        for (size_t i = 0; i < size; ++i)
            if (data[i] == '\n') ++self->FCommands;
        return 0;
    }
};

namespace {
const int kMaxWaitMs = 2;
const int kQuickLooks = 3;

struct TCurlGlobal {
    TCurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};
}

TFtpClient::TFtpClient()
{
    static TCurlGlobal global;
}

TFtpClient::~TFtpClient()
{
    Disconnect();
}

void TFtpClient::SetTimeouts(int connectSec, int stallSec)
{
    FConnectTimeout = connectSec;
    FStallTimeout = stallSec;
}

QByteArray TFtpClient::FolderUrl(const QString& absDir) const
{
    QString host = FHost;
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('['))) host = QLatin1Char('[') + host + QLatin1Char(']');
    QByteArray url = "ftp://" + QUrl::toPercentEncoding(host, "[]:") + ':' + QByteArray::number(FPort) + "/%2F";
    // "%2F" makes the path absolute: curl then sends one "CWD /a/b" and skips it while the
    // folder stays the same.
    const QStringList parts = absDir.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int i = 0; i < parts.size(); ++i) {
        if (i) url += '/';
        url += QUrl::toPercentEncoding(parts[i]);
    }
    url += '/';
    return url;
}

void TFtpClient::ApplyCommonOptions()
{
    CURL* c = static_cast<CURL*>(FCurl);
    curl_easy_reset(c);
    // The login goes as the settings hold it: code page 1250 bytes.
    const QByteArray user = EncodeCodePage(FUser, 1250), password = EncodeCodePage(FPassword, 1250);
    curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(FConnectTimeout));
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(FStallTimeout));
    curl_easy_setopt(c, CURLOPT_ACCEPTTIMEOUT_MS, long(FConnectTimeout) * 1000L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, long(FStallTimeout));
    curl_easy_setopt(c, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_SINGLECWD));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, FErrorBuffer);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &TFtpCallbacks::ToBuffer);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &FHeaders);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, &TFtpCallbacks::Debug);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "ftp");
    if (FPassive) {
        curl_easy_setopt(c, CURLOPT_FTPPORT, nullptr);
    } else {
        curl_easy_setopt(c, CURLOPT_FTPPORT, "-");  // active: the address of the control connection
    }
    // The listed size is checked by the caller; no SIZE command per file.
    curl_easy_setopt(c, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    FHeaders.clear();
    FErrorBuffer[0] = 0;
}

void TFtpClient::Judge(int code)
{
    FLastError = FErrorBuffer[0] ? QString::fromLocal8Bit(FErrorBuffer) : QString::fromLatin1(curl_easy_strerror(CURLcode(code)));
    switch (CURLcode(code)) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_LOGIN_DENIED:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        FConnected = false;
        break;
    default:
        break;
    }
}

bool TFtpClient::Perform(const QByteArray& url)
{
    CURL* c = static_cast<CURL*>(FCurl);
    CURLM* m = static_cast<CURLM*>(FMulti);
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    // Driven through the multi interface with a short wait: libcurl 7.88 sometimes misses the
    // completion of a passive data connection on a reused control connection and then sleeps
    // for its full second-long wait before each transfer.
    CURLcode rc = CURLE_OK;
    if (curl_multi_add_handle(m, c) != CURLM_OK) return false;
    int running = 1;
    int idle = 0;
    while (running) {
        if (curl_multi_perform(m, &running) != CURLM_OK) {
            rc = CURLE_FAILED_INIT;
            break;
        }
        if (!running) break;
        long timeout = -1;
        curl_multi_timeout(m, &timeout);
        // Right after progress libcurl often has its next step ready: look again at once a few
        // times, then wait briefly.
        int wait = timeout < 0 || timeout > kMaxWaitMs ? kMaxWaitMs : int(timeout);
        if (idle < kQuickLooks) wait = 0;
        int events = 0;
        curl_multi_poll(m, nullptr, 0, wait, &events);
        idle = events ? 0 : idle + 1;
    }
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(m, &left))
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == c) rc = msg->data.result;
    curl_multi_remove_handle(m, c);
    if (rc != CURLE_OK) {
        Judge(rc);
        return false;
    }
    return true;
}

bool TFtpClient::Connect(QString* error)
{
    Disconnect();
    FCurl = curl_easy_init();
    FMulti = curl_multi_init();
    if (!FCurl || !FMulti) {
        if (error) *error = QStringLiteral("libcurl");
        return false;
    }
    FConnected = true;
    ApplyCommonOptions();
    CURL* c = static_cast<CURL*>(FCurl);
    curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    struct curl_slist* quote = curl_slist_append(nullptr, "*FEAT");
    curl_easy_setopt(c, CURLOPT_QUOTE, quote);
    QByteArray url = FolderUrl(QString());
    url.chop(4);  // "ftp://host:port/": log in without changing folder
    const bool ok = Perform(url);
    curl_easy_setopt(c, CURLOPT_QUOTE, nullptr);
    curl_slist_free_all(quote);
    if (!ok) {
        if (error) *error = FLastError;
        Disconnect();
        return false;
    }
    char* entry = nullptr;
    if (curl_easy_getinfo(c, CURLINFO_FTP_ENTRY_PATH, &entry) == CURLE_OK && entry) FLoginDir = QString::fromUtf8(entry);
    else FLoginDir = QStringLiteral("/");
    FMlsd = false;
    for (const QByteArray& line : FHeaders.split('\n')) {
        const QByteArray t = line.trimmed().toUpper();
        if (t.startsWith("MLST") || t.startsWith("MLSD")) FMlsd = true;
    }
    return true;
}

void TFtpClient::Disconnect()
{
    // The multi handle holds the connection; its cleanup sends QUIT on a live one.
    if (FCurl) curl_easy_cleanup(static_cast<CURL*>(FCurl));
    if (FMulti) curl_multi_cleanup(static_cast<CURLM*>(FMulti));
    FCurl = nullptr;
    FMulti = nullptr;
    FConnected = false;
}

bool TFtpClient::List(const QString& absDir, QByteArray* text, bool* mlsd)
{
    text->clear();
    if (!FCurl) return false;
    ApplyCommonOptions();
    CURL* c = static_cast<CURL*>(FCurl);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &TFtpCallbacks::ToBuffer);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, text);
    if (FMlsd) curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, "MLSD");
    *mlsd = FMlsd;
    return Perform(FolderUrl(absDir));
}

bool TFtpClient::Download(const QString& absDir, const QByteArray& rawName, QIODevice* out, qint64* received)
{
    *received = 0;
    if (!FCurl) return false;
    ApplyCommonOptions();
    CURL* c = static_cast<CURL*>(FCurl);
    std::pair<QIODevice*, qint64*> sink(out, received);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &TFtpCallbacks::ToDevice);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
    QByteArray url = FolderUrl(absDir);
    url += rawName.toPercentEncoding();
    return Perform(url);
}
