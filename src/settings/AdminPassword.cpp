#include "AdminPassword.h"

QString BuildAdminPassword(const QDateTime& now)
{
    const QDateTime local = now.toLocalTime();
    const QDate d = local.date();
    const QTime t = local.time();
    return QString::asprintf("%02d%02d%02d%02d%04d", t.minute(), t.hour(), d.day(), d.month(), d.year());
}
