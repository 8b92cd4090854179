#pragma once
// Zip archives through libzip.
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// Extracts every member into destDir (created when missing), overwriting existing files.
// Each file is written beside its target and renamed into place when complete. Members whose
// names would leave destDir (absolute, "..") are skipped. False when the archive cannot be
// opened or a member cannot be written; members extracted before the failure stay.
bool ZipExtractAll(const QString& zipFile, const QString& destDir, QStringList* extracted = nullptr);

// Adds files to the archive (created when missing) at compression level 9 (deflate), each under
// the name given with it ("/" separated); a member of the same name is replaced.
// False on any error; the archive on disk is then as it was before the call.
bool ZipAddFiles(const QString& zipFile, const QVector<QPair<QString, QString>>& filesAndNames);

// The member names of an archive, in archive order; empty when it cannot be opened.
QStringList ZipMemberNames(const QString& zipFile);
