#pragma once
#include <QString>

// Case-folding lookup of an existing file or folder.
// The exact spelling is tried first; then each path component that does not exist as
// written is matched without regard to letter case in its parent folder.
// Answers the path as it exists on disk, or the given path unchanged when nothing matches
// (so a caller that goes on to create the file gets its documented spelling).
QString FindFileCI(const QString& path);
bool FileExistsCI(const QString& path);      // a plain file (or a link to one)
bool DirExistsCI(const QString& path);
