#pragma once
// weblink.txt in the program folder: one document a line, "caption;address".
#include <QString>
#include <QVector>

struct TWebLink {
    QString Name;  // at most 128 characters
    QString Url;   // at most 255 characters
};
using TListWebLink = QVector<TWebLink>;

// The links of weblink.txt in file order, each line split at its first ";" (nothing trimmed;
// lines without ";" skipped). An empty list when the file is missing.
TListWebLink ReadWebLinks();

// The program-wide list of the links last read.
TListWebLink& WebLinkList();
