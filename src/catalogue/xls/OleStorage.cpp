#include "OleStorage.h"

#include <QIODevice>
#include <QtEndian>

#include <cstring>

#include <vector>

namespace {

constexpr quint32 kSectorSize = 512;
constexpr quint32 kMiniSectorSize = 64;
constexpr quint32 kMiniStreamCutoff = 4096;
constexpr quint32 kIdsPerSector = kSectorSize / 4;  // 128
constexpr quint32 kHeaderDifat = 109;

constexpr quint32 kFreeSect = 0xFFFFFFFF;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFatSect = 0xFFFFFFFD;
constexpr quint32 kDifSect = 0xFFFFFFFC;
constexpr quint32 kNoStream = 0xFFFFFFFF;

quint32 CeilDiv(quint64 a, quint64 b) { return quint32((a + b - 1) / b); }

void Put16(QByteArray& b, int at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void Put32(QByteArray& b, int at, quint32 v) { qToLittleEndian(v, b.data() + at); }

QByteArray IdSectors(const std::vector<quint32>& ids)
{
    QByteArray out(qsizetype(ids.size()) * 4, '\0');
    for (size_t i = 0; i < ids.size(); ++i)
        Put32(out, int(i * 4), ids[i]);
    return out;
}

// One 128-byte directory entry.
QByteArray DirEntry(const QString& name, quint8 type, quint32 child, quint32 start, quint32 size)
{
    QByteArray e(128, '\0');
    if (type != 0) {
        const QString n = name.left(31);
        for (int i = 0; i < n.size(); ++i)
            Put16(e, i * 2, n.at(i).unicode());
        Put16(e, 64, quint16((n.size() + 1) * 2));
        e[66] = char(type);
        e[67] = 1;  // black: a tree of one node
    }
    Put32(e, 68, kNoStream);  // left sibling
    Put32(e, 72, kNoStream);  // right sibling
    Put32(e, 76, child);
    Put32(e, 116, start);
    Put32(e, 120, size);  // the upper half of the size stays 0 in version 3
    return e;
}

bool WriteAll(QIODevice* device, const char* data, qint64 len, QString* error)
{
    while (len > 0) {
        const qint64 n = device->write(data, len);
        if (n <= 0) {
            if (error)
                *error = device->errorString();
            return false;
        }
        data += n;
        len -= n;
    }
    return true;
}

bool WriteAll(QIODevice* device, const QByteArray& bytes, QString* error)
{
    return WriteAll(device, bytes.constData(), bytes.size(), error);
}

}  // namespace

bool WriteOleStorage(QIODevice* device, const QString& streamName, const QByteArray& stream, QString* error)
{
    if (!device || !device->isWritable()) {
        if (error)
            *error = QStringLiteral("A cél nem írható.");
        return false;
    }
    const quint64 size = quint64(stream.size());
    if (size > 0xFFFFFE00ull) {
        if (error)
            *error = QStringLiteral("A munkafüzet túl nagy.");
        return false;
    }
    const bool mini = size < kMiniStreamCutoff;

    // Sector layout: stream data (or the mini stream), mini sector table, directory, sector
    // table (FAT), its extension (DIFAT).
    quint32 miniSectors = 0, miniFatSectors = 0, dataSectors = 0;
    if (mini) {
        miniSectors = CeilDiv(size, kMiniSectorSize);
        dataSectors = CeilDiv(quint64(miniSectors) * kMiniSectorSize, kSectorSize);
        miniFatSectors = CeilDiv(miniSectors, kIdsPerSector);
    } else {
        dataSectors = CeilDiv(size, kSectorSize);
    }
    const quint32 dirSectors = 1;
    quint32 fatSectors = 1, difatSectors = 0;
    for (;;) {
        const quint64 total = quint64(dataSectors) + miniFatSectors + dirSectors + fatSectors + difatSectors;
        const quint32 needFat = CeilDiv(total, kIdsPerSector);
        const quint32 needDifat = needFat > kHeaderDifat ? CeilDiv(needFat - kHeaderDifat, kIdsPerSector - 1) : 0;
        if (needFat == fatSectors && needDifat == difatSectors)
            break;
        fatSectors = needFat;
        difatSectors = needDifat;
    }
    const quint32 miniFatStart = dataSectors;
    const quint32 dirStart = miniFatStart + miniFatSectors;
    const quint32 fatStart = dirStart + dirSectors;
    const quint32 difatStart = fatStart + fatSectors;

    std::vector<quint32> fat(size_t(fatSectors) * kIdsPerSector, kFreeSect);
    auto chain = [&fat](quint32 first, quint32 count) {
        for (quint32 i = 0; i < count; ++i)
            fat[first + i] = i + 1 < count ? first + i + 1 : kEndOfChain;
    };
    chain(0, dataSectors);
    chain(miniFatStart, miniFatSectors);
    chain(dirStart, dirSectors);
    for (quint32 i = 0; i < fatSectors; ++i)
        fat[fatStart + i] = kFatSect;
    for (quint32 i = 0; i < difatSectors; ++i)
        fat[difatStart + i] = kDifSect;

    QByteArray header(kSectorSize, '\0');
    static const unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    memcpy(header.data(), kSignature, 8);
    Put16(header, 24, 0x003E);  // minor version
    Put16(header, 26, 0x0003);  // major version 3
    Put16(header, 28, 0xFFFE);  // little-endian
    Put16(header, 30, 9);       // 2^9 = 512-byte sectors
    Put16(header, 32, 6);       // 2^6 = 64-byte mini sectors
    Put32(header, 44, fatSectors);
    Put32(header, 48, dirStart);
    Put32(header, 56, kMiniStreamCutoff);
    Put32(header, 60, miniFatSectors ? miniFatStart : kEndOfChain);
    Put32(header, 64, miniFatSectors);
    Put32(header, 68, difatSectors ? difatStart : kEndOfChain);
    Put32(header, 72, difatSectors);
    for (quint32 i = 0; i < kHeaderDifat; ++i)
        Put32(header, int(76 + i * 4), i < fatSectors ? fatStart + i : kFreeSect);

    // Extension sectors: 127 further FAT sector numbers each, then the next extension sector.
    std::vector<quint32> difat(size_t(difatSectors) * kIdsPerSector, kFreeSect);
    for (quint32 i = kHeaderDifat; i < fatSectors; ++i) {
        const quint32 k = i - kHeaderDifat;
        difat[(k / (kIdsPerSector - 1)) * kIdsPerSector + k % (kIdsPerSector - 1)] = fatStart + i;
    }
    for (quint32 s = 0; s < difatSectors; ++s)
        difat[s * kIdsPerSector + kIdsPerSector - 1] = s + 1 < difatSectors ? difatStart + s + 1 : kEndOfChain;

    QByteArray dir;
    if (mini) {
        dir += DirEntry(QStringLiteral("Root Entry"), 5, 1, dataSectors ? 0 : kEndOfChain, miniSectors * kMiniSectorSize);
        dir += DirEntry(streamName, 2, kNoStream, miniSectors ? 0 : kEndOfChain, quint32(size));
    } else {
        dir += DirEntry(QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
        dir += DirEntry(streamName, 2, kNoStream, 0, quint32(size));
    }
    dir += DirEntry(QString(), 0, kNoStream, 0, 0);
    dir += DirEntry(QString(), 0, kNoStream, 0, 0);

    if (!WriteAll(device, header, error) || !WriteAll(device, stream, error))
        return false;
    const quint64 padding = quint64(dataSectors) * kSectorSize - size;
    if (padding && !WriteAll(device, QByteArray(qsizetype(padding), '\0'), error))
        return false;
    if (mini) {
        std::vector<quint32> miniFat(size_t(miniFatSectors) * kIdsPerSector, kFreeSect);
        for (quint32 i = 0; i < miniSectors; ++i)
            miniFat[i] = i + 1 < miniSectors ? i + 1 : kEndOfChain;
        if (!WriteAll(device, IdSectors(miniFat), error))
            return false;
    }
    return WriteAll(device, dir, error) && WriteAll(device, IdSectors(fat), error)
        && WriteAll(device, IdSectors(difat), error);
}
