#include "UtilConsoleSync.h"

#include "CodePage.h"
#include "FileLookup.h"
#include "ProgramDir.h"
#include "UtilFtpList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <climits>
#include <filesystem>

bool StopRequested = true;

namespace {

std::function<void(const QString&)>& LogEcho()
{
    static std::function<void(const QString&)> echo;
    return echo;
}

std::function<QDateTime()>& Clock()
{
    static std::function<QDateTime()> clock;
    return clock;
}

QDateTime Now()
{
    return Clock() ? Clock()() : QDateTime::currentDateTime();
}

QString AsciiLower(const QString& s)
{
    QString out = s;
    for (QChar& c : out)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + 32);
    return out;
}

// Our own temporaries in a target folder: hidden, so no mask lists them.
const QString kTempPrefix = QStringLiteral(".~kfsync-");
const QString kTempSuffix = QStringLiteral(".part");
const int kTempStaleSecs = 15 * 60;

bool IsOurTemp(const QString& name)
{
    return name.startsWith(kTempPrefix) && name.endsWith(kTempSuffix);
}

// Removes temporaries that a run which ended abruptly left behind (untouched for a while, so
// a transfer of another running copy is not disturbed).
void CleanLeftoverTemps(const QString& folder)
{
    QDir dir(folder);
    if (!dir.exists()) return;
    const QDateTime limit = QDateTime::currentDateTime().addSecs(-kTempStaleSecs);
    const QFileInfoList list =
        dir.entryInfoList({kTempPrefix + QLatin1Char('*') + kTempSuffix}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& fi : list)
        if (IsOurTemp(fi.fileName()) && fi.lastModified() < limit) QFile::remove(fi.absoluteFilePath());
}

QString CleanRemotePath(const QString& path)
{
    QStringList out;
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".")) continue;
        if (part == QLatin1String("..")) {
            if (!out.isEmpty()) out.removeLast();
            continue;
        }
        out.append(part);
    }
    return QLatin1Char('/') + out.join(QLatin1Char('/'));
}

QString RemoteParent(const QString& path)
{
    return CleanRemotePath(path + QLatin1String("/.."));
}

QString JoinLocal(const QString& dir, const QString& name)
{
    return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}

QDateTime PackedFileTime(const QDateTime& dt)
{
    // Packed file dates hold even seconds only.
    const QTime t = dt.time();
    return QDateTime(dt.date(), QTime(t.hour(), t.minute(), t.second() - t.second() % 2));
}

void ProcessPendingMessages()
{
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

} // namespace

void SetSyncLogEcho(std::function<void(const QString&)> echo) { LogEcho() = std::move(echo); }
void SetSyncClock(std::function<QDateTime()> clock) { Clock() = std::move(clock); }

QString NormalizePath(const QString& path)
{
    QString s = path;
    s.remove(QLatin1Char(' '));
    static const QRegularExpression backslashes(QStringLiteral("\\\\{2,}"));
    static const QRegularExpression slashes(QStringLiteral("/{2,}"));
    s.replace(backslashes, QStringLiteral("\\"));
    s.replace(slashes, QStringLiteral("/"));
    if (s.size() > 1 && (s.endsWith(QLatin1Char('\\')) || s.endsWith(QLatin1Char('/')))) s.chop(1);
    return s;
}

QString SyncLocalFolder(const QString& localDir)
{
    QString s = localDir;
    s.replace(QLatin1String(".."), ProgramDir());
    s.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isRelativePath(s)) s = ProgramDir() + s;
    return QDir::cleanPath(s);
}

void WriteSyncLog(const QString& text, bool withTime)
{
    if (text.isEmpty()) return;
    QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
    const QDateTime now = Now();
    const QString stamp = QLatin1Char('[') + now.toString(QStringLiteral("yyyy.MM.dd. HH:mm:ss")) + QStringLiteral("] ");
    QByteArray bytes;
    for (const QString& line : lines) {
        const QString out = withTime ? stamp + line : line;
        if (LogEcho()) LogEcho()(out);
        bytes += EncodeCodePage(out, 1250) + "\r\n";
    }
    const QString folder = FindFileCI(ProgramDir() + QStringLiteral("FtpSync"));
    if (!QDir().mkpath(folder)) return;
    QFile f(FindFileCI(folder + QLatin1Char('/') + now.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    f.write(bytes);
}

TConsoleSync::TConsoleSync() : FTimer(new QTimer(this)), FFtp(new TFtpClient)
{
    FTimer->setSingleShot(false);
    connect(FTimer, &QTimer::timeout, this, &TConsoleSync::TimerTick);
}

TConsoleSync::~TConsoleSync() = default;

namespace {
int IntervalMs(int refreshSec)
{
    const qint64 ms = qint64(refreshSec) * 1000;
    return ms > INT_MAX ? INT_MAX : int(ms);
}
}

bool TConsoleSync::SetActive(bool value, QString* error)
{
    FActive = value;
    FTimer->stop();
    try {
        FBeallitas = ReadSyncConfig(FConfigFileName.isEmpty() ? SyncConfigFileName() : FConfigFileName);
    } catch (const ESyncConfigError& e) {
        if (error) *error = e.Message();
        if (!value) return true;  // stopping needs nothing from the file
        FActive = false;
        WriteSyncLog(QStringLiteral("Beállítási hiba, a szinkronizálás nem indul: ") + e.Message(), true);
        return false;
    }
    if (value) {
        FItems = ActiveItems(FBeallitas);
        // An interval of 0 would fire without pause; 0 means no run ever.
        if (FBeallitas.RefreshSec > 0) FTimer->start(IntervalMs(FBeallitas.RefreshSec));
    }
    return true;
}

void TConsoleSync::TimerTick()
{
    FTimer->stop();
    // A Start given between two files of a run re-arms the timer; the run still never nests.
    if (!FBusy) {
        FBusy = true;
        try {
            SyncNext();
        } catch (...) {
        }
        FBusy = false;
    }
    if (FActive && FBeallitas.RefreshSec > 0) FTimer->start(IntervalMs(FBeallitas.RefreshSec));
}

void TConsoleSync::SyncNext()
{
    if (FItems.isEmpty()) return;
    ++FIndex;
    if (FIndex >= FItems.size() || FIndex < 0) FIndex = 0;
    // A copy: a Start during the run may replace FItems.
    const TFTPSyncItem item = FItems[FIndex];
    try {
        SyncItem(item);
    } catch (...) {
    }
}

TListHashFile TConsoleSync::SyncItem(const TFTPSyncItem& item)
{
    TListHashFile done;
    WriteSyncLog(QString(74, QLatin1Char('-')), false);
    WriteSyncLog(QStringLiteral("Connect to FTP (server: %1 user: %2)").arg(item.Server, item.User), true);
    if (!FtpConnect(item)) {
        WriteSyncLog(QStringLiteral("ERROR"), true);
    } else {
        WriteSyncLog(QStringLiteral("OK"), true);
        struct TDisconnect {
            TFtpClient& ftp;
            ~TDisconnect() { ftp.Disconnect(); }
        } guard{*FFtp};
        const TListHashFile plan = BuildSyncList(item);
        if (!plan.isEmpty()) done = ExecuteSyncList(plan);
        if (!done.isEmpty()) {
            WriteSyncLog(QStringLiteral("Files: %1").arg(done.size()), true);
            for (const THashFile& f : done) WriteSyncLog(JoinLocal(f.Dir, f.FileName), true);
        }
    }
    WriteSyncLog(QStringLiteral(" "), false);
    return done;
}

bool TConsoleSync::FtpConnect(const TFTPSyncItem& item)
{
    FListings.clear();
    FFtp->SetHost(item.Server);
    FFtp->SetUser(item.User);
    FFtp->SetPassword(item.Password);
    FFtp->SetPort(item.Port);
    FFtp->SetPassive(item.Passive);
    if (!FFtp->Connect()) return false;
    FRemoteDir = CleanRemotePath(FFtp->LoginDir());
    FRemoteDirBeforeCwd = FRemoteDir;
    return true;
}

void TConsoleSync::FtpChangeDir(const QString& ftpDir)
{
    // PWD; CDUP unless at "/"; CWD ftpDir. Only one level is climbed.
    const QString base = FRemoteDir == QLatin1String("/") ? FRemoteDir : RemoteParent(FRemoteDir);
    FRemoteDir = base;
    FRemoteDirBeforeCwd = base;
    QString target = ftpDir;
    target.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (target.trimmed().isEmpty()) throw std::runtime_error("CWD without a folder");
    FRemoteDir = target.startsWith(QLatin1Char('/')) ? CleanRemotePath(target) : CleanRemotePath(base + QLatin1Char('/') + target);
}

bool TConsoleSync::ListRemote(const QString& absDir, TListHashFile* files, bool* readable)
{
    for (const TCachedListing& c : FListings) {
        if (c.dir == absDir) {
            *files = c.files;
            *readable = c.readable;
            return true;
        }
    }
    QByteArray text;
    bool mlsd = false;
    if (!FFtp->List(absDir, &text, &mlsd)) {
        // The folder could not be entered: the server stays where the CDUP left it.
        FRemoteDir = FRemoteDirBeforeCwd;
        return false;
    }
    const TFtpListing listing = ParseFtpListing(text, mlsd);
    TListHashFile out;
    for (const TFtpListEntry& e : listing.Entries) {
        if (e.Kind != TFtpEntryKind::File) continue;
        THashFile f;
        f.Dir = absDir;
        f.FileName = e.Name.left(128);
        f.Size = e.Size;
        f.DateTime = e.DateTime;
        f.State = hfListed;
        f.FtpName = e.RawName;
        // A cut name would address another file; such names are not used at all.
        if (e.Name.size() > 128) continue;
        out.append(f);
    }
    FListings.append({absDir, out, listing.UnreadableLines == 0});
    *files = out;
    *readable = listing.UnreadableLines == 0;
    return true;
}

TListHashFile TConsoleSync::CompareFolder(const QString& localFolder, const QString& ftpDir, const QString& mask, bool* mayDelete)
{
    TListHashFile plan;
    if (mayDelete) *mayDelete = false;

    // 1. Local listing: plain files matching the mask.
    TListHashFile local;
    {
        QDir dir(localFolder);
        const QFileInfoList list = dir.exists() ? dir.entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::NoSort) : QFileInfoList();
        for (const QFileInfo& fi : list) {
            const QString name = fi.fileName();
            if (fi.isSymLink() || !fi.isFile() || !IsSafeFileName(name) || IsOurTemp(name)) continue;
            if (!MatchesMask(name, mask)) continue;
            THashFile f;
            f.Dir = localFolder;
            f.FileName = name.left(128);
            f.Size = fi.size();
            f.DateTime = fi.lastModified();
            f.State = hfListed;
            if (name.size() > 128) continue;
            local.append(f);
        }
    }

    // 2. Remote listing of the folder.
    FtpChangeDir(ftpDir);
    const QString absDir = FRemoteDir;
    TListHashFile all;
    bool readable = true;
    if (!ListRemote(absDir, &all, &readable)) throw std::runtime_error("remote folder cannot be listed");
    TListHashFile remote;
    for (const THashFile& f : all) {
        if (!IsSafeFileName(f.FileName) || IsOurTemp(f.FileName) || f.FileName.startsWith(QLatin1Char('.'))) continue;
        if (MatchesMask(f.FileName, mask)) remote.append(f);
    }

    // 3. Downloads: missing locally, or another size, or another day. Names are looked up
    // exactly first, then without regard to ASCII letter case.
    QHash<QString, int> localExact, localFolded;
    for (int i = local.size() - 1; i >= 0; --i) {
        localExact.insert(local[i].FileName, i);
        localFolded.insert(AsciiLower(local[i].FileName), i);
    }
    QSet<QString> remoteFolded;
    for (const THashFile& r : all) remoteFolded.insert(AsciiLower(r.FileName));
    for (const THashFile& r : remote) {
        int at = localExact.value(r.FileName, -1);
        if (at < 0) at = localFolded.value(AsciiLower(r.FileName), -1);
        const THashFile* l = at >= 0 ? &local[at] : nullptr;
        const bool sameVersion = l && l->Size == r.Size && r.DateTime.isValid() && l->DateTime.date() == r.DateTime.date();
        if (sameVersion) continue;
        THashFile p = r;
        p.Dir = localFolder;
        if (l) p.FileName = l->FileName;  // replace the existing file, whatever its letter case
        p.FtpDir = absDir;
        p.State = hfDownload;
        plan.append(p);
    }

    // 4. Deletions: local files the server no longer has, unless the listing was not understood.
    // Any remote file of the name counts as present, also one refused for its name.
    if (readable) {
        for (const THashFile& l : local) {
            if (remoteFolded.contains(AsciiLower(l.FileName))) continue;
            THashFile p = l;
            p.FtpDir = absDir;
            p.State = hfDelete;
            plan.append(p);
        }
    }
    if (mayDelete) *mayDelete = readable;
    return plan;
}

TListHashFile TConsoleSync::BuildSyncList(const TFTPSyncItem& item)
{
    TListHashFile raw;
    for (const TFTPSyncDirItem& pair : item.Dirs) {
        if (!pair.Active) continue;
        TListHashFile pairPlan;
        bool pairReadable = true;
        QString pairBase;
        try {
            FtpChangeDir(pair.FtpDir);
            pairBase = FRemoteDirBeforeCwd;
            const QString localFolder = SyncLocalFolder(pair.LocalDir);
            CleanLeftoverTemps(localFolder);
            for (const QString& m : pair.FileMask.split(QLatin1Char(';'))) {
                const QString mask = m.trimmed();
                if (mask.isEmpty()) continue;
                bool mayDelete = true;
                pairPlan += CompareFolder(localFolder, pair.FtpDir, mask, &mayDelete);
                if (!mayDelete) pairReadable = false;
            }
        } catch (...) {
            // The work on this pair ends; what it planned so far stays. A folder that could not
            // be entered leaves the server where the pair's first CDUP took it.
            if (!pairBase.isEmpty()) FRemoteDir = pairBase;
        }
        for (const THashFile& f : pairPlan)
            if (pairReadable || f.State != hfDelete) raw.append(f);
    }

    TListHashFile result;
    QSet<QString> seen;
    qint64 total = 0;
    for (const THashFile& f : raw) {
        if (item.MaxSizeInKBytes > 0 && total > item.MaxSizeInKBytes) break;
        // Folder spellings are compared loosely, names exactly (but for ASCII letter case).
        const QString key = AsciiLower(NormalizePath(f.Dir) + QLatin1Char('/') + f.FileName);
        if (seen.contains(key)) continue;
        seen.insert(key);
        if (f.State == hfDownload) total += f.Size / 1024;
        result.append(f);
    }
    return result;
}

bool TConsoleSync::DownloadFile(const THashFile& entry)
{
    if (!IsSafeFileName(entry.FileName) || entry.FtpName.isEmpty()) return false;
    const QDir dir(entry.Dir);
    if (!dir.exists()) return false;  // never created
    const QString target = JoinLocal(entry.Dir, entry.FileName);
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() && targetInfo.isDir() && !targetInfo.isSymLink()) return false;

    QString tempName;
    QFile temp;
    for (int attempt = 0; attempt < 5; ++attempt) {
        tempName = JoinLocal(entry.Dir, kTempPrefix + QString::number(QRandomGenerator::global()->generate64(), 36) + kTempSuffix);
        temp.setFileName(tempName);
        if (temp.open(QIODevice::WriteOnly | QIODevice::NewOnly)) break;
    }
    if (!temp.isOpen()) return false;

    qint64 received = 0;
    bool ok = FFtp->Download(entry.FtpDir, entry.FtpName, &temp, &received);
    ok = ok && received == entry.Size && temp.flush();
    if (ok && entry.DateTime.isValid()) temp.setFileTime(PackedFileTime(entry.DateTime), QFileDevice::FileModificationTime);
    temp.close();
    ok = ok && temp.error() == QFileDevice::NoError;
    if (ok) {
        std::error_code ec;
        std::filesystem::rename(QFile::encodeName(tempName).constData(), QFile::encodeName(target).constData(), ec);
        ok = !ec;
    }
    if (!ok) QFile::remove(tempName);
    return ok;
}

TListHashFile TConsoleSync::ExecuteSyncList(const TListHashFile& plan)
{
    TListHashFile done;
    for (const THashFile& entry : plan) {
        if (!FFtp->Connected() || StopRequested) break;
        if (entry.State == hfDownload) {
            if (FFtp->Connected() && DownloadFile(entry)) done.append(entry);
        } else if (entry.State == hfDelete) {
            const QString path = JoinLocal(entry.Dir, entry.FileName);
            const QFileInfo fi(path);
            if (IsSafeFileName(entry.FileName) && fi.isFile() && !fi.isSymLink() && QFile::remove(path)) done.append(entry);
        }
        ProcessPendingMessages();
    }
    return done;
}
