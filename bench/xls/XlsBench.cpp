// bench_xls [ROWS] [OUT.xls]: times the .xls writer over product-list-like rows made beforehand
// (19 columns: codes, names, manufacturers, prices, quantities, dates, flags, some empty values).
#include "XlsWriter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir tmp;
    const QString out = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.filePath("bench.xls");

    QList<TXlsColumn> columns = {
        {"Cikkszám", TXlsKind::Text, 10, false, {}},      {"Megnevezés", TXlsKind::Text, 50, false, {}},
        {"Gyártó", TXlsKind::Text, 20, false, {}},        {"Forrás", TXlsKind::Text, 12, false, {}},
        {"Vonalkód", TXlsKind::Text, 14, false, {}},      {"ME", TXlsKind::Text, 4, false, {}},
        {"Nettó ár", TXlsKind::Float, 12, true, {}},      {"Bruttó ár", TXlsKind::Float, 12, true, {}},
        {"Nettó karton", TXlsKind::Float, 12, true, {}},  {"Bruttó karton", TXlsKind::Float, 12, true, {}},
        {"ÁFA", TXlsKind::Integer, 5, false, {}},         {"Karton", TXlsKind::Integer, 6, true, {}},
        {"Min. rendelés", TXlsKind::Integer, 6, true, {}}, {"Készlet", TXlsKind::Integer, 8, true, {}},
        {"Rendelt", TXlsKind::Integer, 8, true, {}},      {"Érték", TXlsKind::Float, 12, true, {}},
        {"Akció", TXlsKind::Boolean, 5, false, {}},       {"Akció vége", TXlsKind::Date, 12, false, {}},
        {"Módosítva", TXlsKind::DateTime, 14, false, {}},
    };
    static const char* makers[] = {"Univer", "Globus", "Nestlé", "Dreher", "Bonafarm", "Pick", "Zwack", "Hell"};
    std::vector<QList<QVariant>> data;
    data.reserve(size_t(rows));
    const QDate day(2024, 1, 1);
    for (int i = 0; i < rows; ++i) {
        const double net = 100 + (i % 5000) * 1.37;
        data.push_back({
            QStringLiteral("C%1").arg(i, 6, 10, QLatin1Char('0')),
            QStringLiteral("Termék %1 őszibarack befőtt %2 g").arg(i).arg(100 + i % 900),
            QString::fromLatin1(makers[i % 8]),
            QStringLiteral("Cég %1").arg(i % 12),
            i % 4 ? QVariant(QStringLiteral("599%1").arg(i, 10, 10, QLatin1Char('0'))) : QVariant(),
            QStringLiteral("db"),
            net, net * 1.27, net * 12, net * 12 * 1.27,
            27, 12, i % 3 + 1, (i * 7) % 1000, i % 10 ? QVariant() : QVariant(i % 50),
            i % 10 ? QVariant() : QVariant(net * (i % 50)),
            i % 7 == 0, i % 7 ? QVariant() : QVariant(day.addDays(i % 365)),
            QDateTime(day.addDays(i % 365), QTime(8, i % 60)),
        });
    }

    QElapsedTimer timer;
    timer.start();
    TXlsWriter writer;
    writer.SetColumns(columns);
    for (const QList<QVariant>& row : data)
        writer.AddRow(row);
    const qint64 addMs = timer.elapsed();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!writer.Write(&buffer)) {
        fprintf(stderr, "write failed: %s\n", qPrintable(writer.ErrorString()));
        return 1;
    }
    const qint64 bufferMs = timer.elapsed();
    timer.restart();
    TXlsWriter fileWriter;
    fileWriter.SetColumns(columns);
    for (const QList<QVariant>& row : data)
        fileWriter.AddRow(row);
    if (!fileWriter.WriteFile(out)) {
        fprintf(stderr, "write failed: %s\n", qPrintable(fileWriter.ErrorString()));
        return 1;
    }
    const qint64 fileMs = timer.elapsed();
    printf("rows %d x %d columns, %d sheets, %.1f MB\n", rows, int(columns.size()), writer.SheetCount(),
           buffer.size() / 1048576.0);
    printf("rows added: %lld ms; into a memory buffer: %lld ms in all\n", addMs, bufferMs);
    printf("into a file (%s): %lld ms in all\n", qPrintable(out), fileMs);
    return 0;
}
