#include "WebLinks.h"

#include "CodePage.h"
#include "FileLookup.h"
#include "ProgramDir.h"
#include "Utils.h"

#include <QFile>

TListWebLink ReadWebLinks()
{
    TListWebLink out;
    QFile f(FindFileCI(ProgramDir() + QStringLiteral("weblink.txt")));
    if (!f.open(QIODevice::ReadOnly)) return out;
    const QString text = DecodeCodePage(f.readAll(), 1250);
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const int semi = line.indexOf(QLatin1Char(';'));
        if (semi < 0) continue;
        out.append(TWebLink{CutText(line.left(semi), 128), CutText(line.mid(semi + 1), 255)});
    }
    return out;
}

TListWebLink& WebLinkList()
{
    static TListWebLink list;
    return list;
}
