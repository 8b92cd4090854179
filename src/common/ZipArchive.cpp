#include "ZipArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <zip.h>

namespace {
bool SafeMemberName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\'))) return false;
    if (name.size() > 1 && name.at(1) == QLatin1Char(':')) return false;
    const QStringList parts = QString(name).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'));
    for (const QString& p : parts)
        if (p == QLatin1String("..")) return false;
    return true;
}
}

bool ZipExtractAll(const QString& zipFile, const QString& destDir, QStringList* extracted)
{
    int err = 0;
    zip_t* za = zip_open(QFile::encodeName(zipFile).constData(), ZIP_RDONLY, &err);
    if (!za) return false;
    bool ok = true;
    QDir dest(destDir);
    if (!dest.exists()) QDir().mkpath(destDir);
    const zip_int64_t n = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < n && ok; ++i) {
        zip_stat_t st;
        if (zip_stat_index(za, i, 0, &st) != 0) { ok = false; break; }
        const QString name = QString::fromLocal8Bit(st.name);
        if (!SafeMemberName(name)) continue;
        const QString rel = QString(name).replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString target = dest.absoluteFilePath(rel);
        if (rel.endsWith(QLatin1Char('/'))) {
            QDir().mkpath(target);
            continue;
        }
        QDir().mkpath(QFileInfo(target).absolutePath());
        zip_file_t* zf = zip_fopen_index(za, i, 0);
        if (!zf) { ok = false; break; }
        QSaveFile out(target);
        if (!out.open(QIODevice::WriteOnly)) { zip_fclose(zf); ok = false; break; }
        char buf[65536];
        zip_int64_t got;
        zip_uint64_t total = 0;
        while ((got = zip_fread(zf, buf, sizeof buf)) > 0) {
            if (out.write(buf, got) != got) { ok = false; break; }
            total += static_cast<zip_uint64_t>(got);
        }
        zip_fclose(zf);
        if (got < 0 || ((st.valid & ZIP_STAT_SIZE) && total != st.size)) ok = false;
        if (ok) ok = out.commit();
        else out.cancelWriting();
        if (ok && extracted) *extracted << rel;
    }
    zip_discard(za);
    return ok;
}

bool ZipAddFiles(const QString& zipFile, const QVector<QPair<QString, QString>>& filesAndNames)
{
    int err = 0;
    zip_t* za = zip_open(QFile::encodeName(zipFile).constData(), ZIP_CREATE, &err);
    if (!za) return false;
    for (const auto& fn : filesAndNames) {
        zip_source_t* src = zip_source_file(za, QFile::encodeName(fn.first).constData(), 0, -1);
        if (!src) { zip_discard(za); return false; }
        const zip_int64_t idx = zip_file_add(za, fn.second.toLocal8Bit().constData(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_GUESS);
        if (idx < 0) { zip_source_free(src); zip_discard(za); return false; }
        zip_set_file_compression(za, static_cast<zip_uint64_t>(idx), ZIP_CM_DEFLATE, 9);
    }
    // libzip writes a temporary file and renames it over the archive on close.
    if (zip_close(za) != 0) { zip_discard(za); return false; }
    return true;
}

QStringList ZipMemberNames(const QString& zipFile)
{
    QStringList out;
    int err = 0;
    zip_t* za = zip_open(QFile::encodeName(zipFile).constData(), ZIP_RDONLY, &err);
    if (!za) return out;
    const zip_int64_t n = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const char* name = zip_get_name(za, i, 0);
        if (name) out << QString::fromLocal8Bit(name);
    }
    zip_discard(za);
    return out;
}
