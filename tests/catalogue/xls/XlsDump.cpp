#include "XlsDump.h"

#include "TestSupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

QJsonObject DumpXls(const QString& fileName, const QStringList& extraArgs)
{
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{SourceFile(QStringLiteral("tests/catalogue/xls/xls_dump.py")), fileName} + extraArgs);
    if (!reader.waitForFinished(120000) || reader.exitCode() != 0) {
        ADD_FAILURE() << "xls_dump.py failed: " << reader.readAllStandardError().toStdString();
        return {};
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(reader.readAllStandardOutput(), &error);
    if (!doc.isObject())
        ADD_FAILURE() << "xls_dump.py gave no JSON: " << error.errorString().toStdString();
    return doc.object();
}

QJsonObject DumpXls(const QByteArray& bytes, const QStringList& extraArgs)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("dump.xls"));
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        ADD_FAILURE() << "cannot write " << name.toStdString();
        return {};
    }
    file.close();
    return DumpXls(name, extraArgs);
}

std::string JsonText(const QJsonValue& v)
{
    if (v.isArray())
        return QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact).toStdString();
    if (v.isObject())
        return QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact).toStdString();
    return v.toVariant().toString().toStdString();
}

void ExpectSoundFile(const QJsonObject& dump)
{
    const QJsonObject ole = dump.value(QStringLiteral("ole")).toObject();
    EXPECT_TRUE(ole.value(QStringLiteral("errors")).toArray().isEmpty()) << "compound file: " << JsonText(ole);
    EXPECT_EQ(JsonText(ole.value(QStringLiteral("streams"))), "[\"Workbook\"]");
    EXPECT_TRUE(dump.value(QStringLiteral("record_errors")).toArray().isEmpty())
        << "records: " << JsonText(dump.value(QStringLiteral("record_errors")));
    EXPECT_EQ(dump.value(QStringLiteral("log")).toString().toStdString(), "") << "xlrd log";
}

QJsonArray DumpedRow(const QJsonObject& sheet, int row)
{
    for (const QJsonValue& r : sheet.value(QStringLiteral("rows")).toArray())
        if (r.toObject().value(QStringLiteral("row")).toInt() == row)
            return r.toObject().value(QStringLiteral("cells")).toArray();
    return {};
}
