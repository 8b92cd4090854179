#pragma once
// The *.inf file information the transfer tool leaves beside a downloaded archive:
// an INI text with section "File" and the keys FileName, Size and DateTime (a day count since
// 30 December 1899, the fraction being the time of day).
#include <QString>

struct TFtpFileInfo {
    QString FileName;
    qint32 Size = 0;
    double DateTime = 0;
};

// A missing file or key gives an empty name and zeros; an unreadable DateTime gives 0.
// DateTime is read with either decimal separator (the tool writes its own locale's).
TFtpFileInfo ReadFtpFileInfo(const QString& fileName);

// " - " when the value is 0, else "yyyy.mm.dd. hh:nn".
QString FormatInfoTimestamp(double dateTime);
