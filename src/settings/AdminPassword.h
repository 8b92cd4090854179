#pragma once
// The administrator password that unlocks the protected page of the settings dialog: twelve
// decimal digits built from the local date and time with the pattern "nnhhddmmyyyy" (minute,
// hour on the 24-hour clock, day, month, four-digit year, each with leading zeros). At
// 2026-12-11 09:05 it is "050911122026". It is stored nowhere: build it when the typed text is
// compared, so it is valid during the minute of typing.
#include <QDateTime>
#include <QString>

QString BuildAdminPassword(const QDateTime& now);
