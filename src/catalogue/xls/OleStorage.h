#pragma once
// A compound file (OLE2 structured storage, version 3, 512-byte sectors) that holds one stream
// under the root storage; the .xls writer puts its "Workbook" stream in it.
// Streams shorter than 4096 bytes go into the mini stream, longer ones into sectors of their own;
// the sector table grows into extension (DIFAT) sectors when it needs more than 109 sectors.
// The file is written front to back, so the device need not be seekable.
#include <QByteArray>
#include <QString>

class QIODevice;

// Answers false when the device refuses bytes (error then says why) or the stream is too large for
// the format (more than 4 GB).
bool WriteOleStorage(QIODevice* device, const QString& streamName, const QByteArray& stream, QString* error);
