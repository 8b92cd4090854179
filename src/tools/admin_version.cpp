#include "AdminCommand.h"

namespace {
int RunVersion(const QStringList&, QTextStream& out, QTextStream&)
{
    out << "kelobolt-admin ver.1120\n";
    return 0;
}
}

KB_ADMIN_COMMAND("version", "version", "A program verziója.", RunVersion);
