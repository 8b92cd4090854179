#pragma once
// Reads an .xls file with independent readers (xls_dump.py: its own walk of the compound file and
// the records, and xlrd for cells and formats) and answers what they saw.
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <string>

// The dump of a file; extraArgs e.g. {"--head", "3", "--tail", "2"}. Fails the test on a crash of
// the reader (an empty object then).
QJsonObject DumpXls(const QString& fileName, const QStringList& extraArgs = {});
QJsonObject DumpXls(const QByteArray& bytes, const QStringList& extraArgs = {});

// The container, the records and xlrd's log without a complaint.
void ExpectSoundFile(const QJsonObject& dump);

// Compact JSON text of a value, for failure messages.
std::string JsonText(const QJsonValue& v);

// One sheet's dumped row by its row number (an empty array when it was not dumped or is empty).
QJsonArray DumpedRow(const QJsonObject& sheet, int row);
