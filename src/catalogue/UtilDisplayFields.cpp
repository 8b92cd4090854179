#include "UtilDisplayFields.h"

#include "Utils.h"


TListGridFormatItem GridFormats;

namespace {
constexpr int KTextCap = 128;

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }
}

void AddDisplayField(TDisplayFields& list, const QString& fieldName, const QString& display, qint32 width,
                     const QString& format, bool visible, qint32 tag)
{
    TDisplayField f;
    f.FieldName = CutText(fieldName, KTextCap);
    f.Display = CutText(display, KTextCap);
    f.Format = CutText(format, KTextCap);
    f.Visible = visible;
    f.Width = width;
    f.Tag = tag;
    const int i = FindDisplayField(list, f.FieldName);
    if (i >= 0) list[i] = f;
    else list.append(f);
}

int FindDisplayField(const TDisplayFields& list, const QString& fieldName)
{
    for (int i = 0; i < list.size(); ++i)
        if (SameName(list[i].FieldName, fieldName)) return i;
    return -1;
}

void MergeDisplayFields(TDisplayFields& target, const TDisplayFields& source, bool visible)
{
    for (const TDisplayField& s : source) {
        if (FindDisplayField(target, s.FieldName) >= 0) continue;
        TDisplayField f = s;
        f.Visible = visible;
        f.Tag = 0;
        target.append(f);
    }
}

int FindGridFormat(const TListGridFormatItem& store, const QString& formName, const QString& gridName,
                   qint32 gridTag, qint32 formTag)
{
    for (int i = 0; i < store.size(); ++i) {
        const TGridFormatItem& g = store[i];
        if (SameName(g.FormName, formName) && SameName(g.GridName, gridName) && g.GridTag == gridTag &&
            g.FormTag == formTag)
            return i;
    }
    return -1;
}

void StoreGridFormat(TListGridFormatItem& store, const QString& formName, const QString& gridName,
                     qint32 gridHeight, const TDisplayFields& columns, qint32 gridTag, qint32 formTag)
{
    int i = FindGridFormat(store, formName, gridName, gridTag, formTag);
    if (i < 0) {
        TGridFormatItem g;
        g.FormName = CutText(formName, KTextCap);
        g.GridName = CutText(gridName, KTextCap);
        g.FormTag = formTag;
        g.GridTag = gridTag;
        store.append(g);
        i = store.size() - 1;
    }
    store[i].GridHeight = gridHeight;
    store[i].Columns = columns;
}

