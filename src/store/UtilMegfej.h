#pragma once
// Order headers and serial numbers: the layouts of megfej.dbf / arhivmegfej.dbf and sorszam.dbf,
// the header record passed between the windows, and the operations that create the tables,
// hand out serial numbers and store a header row. Every table is opened for one operation and
// closed again (code page 1250), because the transfer tool changes megfej.dbf between them.
#include "Dataset.h"
#include "UtilDBF.h"

#include <QDateTime>
#include <QString>

struct TMegFej {
    QString UGYFELKOD, BOLTKOD, UGYNOKKOD, UGYFELNEV, IRSZAM, VAROS, UTCA;
    QDateTime KELT;
    QString IDO;        // at most 5 characters, "hh:nn"
    QDateTime SZALLHAT;  // invalid (or the zero date) = no deadline
    QString MEGJ1, MEGJ2;
    double NETTO = 0;
    double BRUTTO = 0;
    QString SRCKOD, SRCNEV;
};

// The result of storing a header; (-1, -1, "") = nothing was stored.
struct TSorszam {
    qint32 EV = -1;
    qint32 SORSZAM = -1;
    QString BIZSORSZAM;
};

enum class TOrderSaveMode { New = 0, Modify = 1, SaveAsNew = 3 };

constexpr int BizSorszamWidth = 20;  // the BIZSORSZAM column

// Full names in the data folder.
QString MegfejFileName();       // Data/megfej.dbf
QString ArhivMegfejFileName();  // Data/arhivmegfej.dbf
QString SorszamFileName();      // Data/sorszam.dbf

TListDBFField MegfejFields();   // the 22 columns of megfej.dbf and arhivmegfej.dbf, in order
TListDBFField SorszamFields();  // ID C50, SORSZAM N10

// RendeloID-yy-nnnnn (serial padded to at least five digits): BOLT01, 2024, 7 -> BOLT01-24-00007.
QString MakeBizSorszam(const QString& rendeloID, int year, int serial);
// The longest orderer identifier whose document numbers (with five-digit serials) fit the column.
constexpr int MaxRendeloIDLength = BizSorszamWidth - 9;

// Start-up: megfej.dbf then arhivmegfej.dbf, created when missing, restructured when their column
// count differs. False when a table could not be made right (the other is still tried).
bool CreateOrderHeaderTables();
bool CreateSerialNumberTable();

// The serial number for a key (RendeloID + four-digit year); with advance the counter moves on
// (a new key is stored with 2). 0 when sorszam.dbf cannot be opened; nothing changes then.
// A failing write throws EDataSetError.
qint32 NextSerialNumber(const QString& key, bool advance);

// Appends (New, SaveAsNew) or updates (Modify: the row bizSorszam) the header row of megfej.dbf.
// rendeloID is the orderer identifier of the main settings. Refused, with (-1, -1, "") and a
// message through ShowMsg, when the serial table cannot be opened (no serial 0, never two orders
// under one number) or when the document number would not fit its 20 characters. Also
// (-1, -1, "") without a message when megfej.dbf cannot be opened or the row to modify is
// missing. A failing write throws EDataSetError after the tables are closed.
TSorszam StoreOrderHeader(TOrderSaveMode mode, const QString& bizSorszam, const TMegFej& header,
                          const QString& rendeloID);

// The current row of an order header dataset: UGYFELKOD, UGYFELNEV, BOLTKOD, UGYNOKKOD, MEGJ1,
// MEGJ2, SZALLHAT (invalid when empty), NETTO, BRUTTO, SRCKOD, SRCNEV; the rest stays empty.
TMegFej ReadOrderHeader(const TDataSet* dataSet);
