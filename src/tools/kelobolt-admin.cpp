// kelobolt-admin: the administrator's and support's command line.
#include "AdminCommand.h"

#include <QCoreApplication>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
std::vector<TAdminCommand>& Commands()
{
    static std::vector<TAdminCommand> all;
    return all;
}

void Usage(QTextStream& s)
{
    s << "Használat: kelobolt-admin PARANCS [ARGUMENTUMOK]\n\nParancsok:\n";
    auto all = Commands();
    std::sort(all.begin(), all.end(), [](const TAdminCommand& a, const TAdminCommand& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const TAdminCommand& c : all) s << "  " << c.usage << "\n      " << QString::fromUtf8(c.summary) << "\n";
}
}

void RegisterAdminCommand(const TAdminCommand& command)
{
    Commands().push_back(command);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == "--help" || args.first() == "-h" || args.first() == "help") {
        Usage(args.isEmpty() ? err : out);
        return args.isEmpty() ? 1 : 0;
    }
    const QString name = args.takeFirst();
    for (const TAdminCommand& c : Commands()) {
        if (name == QLatin1String(c.name)) {
            const int rc = c.run(args, out, err);
            out.flush();
            err.flush();
            return rc;
        }
    }
    err << "Ismeretlen parancs: " << name << "\n";
    Usage(err);
    return 1;
}
