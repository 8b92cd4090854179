#pragma once
// The workbook column kind that shows a dataset field's values.
#include "Dataset.h"
#include "XlsWriter.h"

inline TXlsKind XlsKindOf(TFieldType type)
{
    switch (type) {
    case TFieldType::Integer: return TXlsKind::Integer;
    case TFieldType::Float: return TXlsKind::Float;
    case TFieldType::Boolean: return TXlsKind::Boolean;
    case TFieldType::Date: return TXlsKind::Date;
    case TFieldType::DateTime: return TXlsKind::DateTime;
    case TFieldType::String: break;
    }
    return TXlsKind::Text;
}
