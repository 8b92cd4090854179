#pragma once
// The data of the main data module: the in-memory product table, the in-memory order header
// tables, the customer table, the scratch DBF tables, and the process-wide manufacturer and
// barcode lists. TdmMain owns one TMainData for the whole run.
//
// Start-up, in this order (after the folders exist):
//   step 3: CreateOrderTables()    - megfej.dbf, arhivmegfej.dbf, sorszam.dbf exist with our layout
//   step 5: LoadOrderHeaders()     - rxmdMegfej, rxmdMegfej_Arhiv from the tables
//   step 6: LoadMasterData()       - RefreshCustomers(), then RefreshProducts()
// The synchronisation cycle calls RefreshProducts() after a product download, and closes
// dbfVevo, unpacks the customer archive and calls RefreshCustomers(). The archive pass calls
// LoadOrderHeaders() again after moving orders.
//
// OnUpdateStatusBar is called after every product or customer refresh, also when it fails;
// the main window sets it to its UpdateStatusBar. Wait texts go through ShowWaitMessage.
#include "Dataset.h"
#include "MemData.h"
#include "UtilDBF.h"
#include "Utils.h"

#include <QObject>
#include <functional>

// Process-wide lists, empty until the first product refresh.
extern TListSimpleID GyartoList;    // manufacturers (UGYKOD, UGYNEV), sorted by name
extern TListVonalkod VonalkodList;  // barcodes, in file order

class TMainData : public QObject {
    Q_OBJECT
public:
    explicit TMainData(QObject* parent = nullptr);

    TRxMemoryData rxmdTermek;        // the product table: columns and rows of termek.dbf
    TRxMemoryData rxmdMegfej;        // rows of megfej.dbf
    TRxMemoryData rxmdMegfej_Arhiv;  // rows of arhivmegfej.dbf
    TDbf dbfTemp;     // scratch: copies into memory
    TDbf dbfTemp2;    // scratch: the archive header table during the archive pass
    TDbf dbfSorszam;  // spare for the serial table (NextSerialNumber opens its own)
    TDbf dbfVevo;     // customer table, open on Data/vevo.dbf (code page 852), filter dbfVevoFilterRecord

    std::function<void()> OnUpdateStatusBar;

    // Opens the file in dbfTemp (code page 1250) and replaces the table's structure and rows by a
    // copy; dbfTemp stays open on it. False (the table unchanged) for a missing file or any error.
    bool LoadDbfIntoMemory(TRxMemoryData& table, const QString& fileName);
    // megfej.dbf into rxmdMegfej, then arhivmegfej.dbf into rxmdMegfej_Arhiv; dbfTemp is closed
    // afterwards so that nothing holds the tables between operations.
    void LoadOrderHeaders();
    // Reopens dbfVevo on vevo.dbf with the VTP2 filter. A missing file changes nothing; a file that
    // cannot be opened keeps the previous table and is written to the debug log.
    void RefreshCustomers();
    // Reloads rxmdTermek, GyartoList (not emptied first) and VonalkodList. A missing termek.dbf
    // changes nothing; one that cannot be opened throws EDataSetError (after the wait window is
    // closed and the status bar refreshed), the previous data staying in place.
    void RefreshProducts();
    // The customer filter: VTP2 exactly "AKT".
    static bool dbfVevoFilterRecord(TDataSet& dataSet);

    // Start-up steps 3, 5 and 6 (see above). Step 3 answers false when a table could not be made.
    bool CreateOrderTables();
    void LoadMasterData();

private:
    void AfterRefresh();
};

// Empties the list; when vonalkod.dbf exists, opens it in the table (code page 1250) and
// appends one entry per row, texts cut to their capacities. The table is closed afterwards.
void LoadVonalkodList(TDbf& dbf, TListVonalkod& list);
// Empties the list; opens Szotartetel.dbf (1250) in the table and appends (ID, NEV cut to 50)
// of every row whose FEJ equals the dictionary, in file order; closes the table. A missing or
// unreadable file leaves the list empty.
void LoadSzotar(TDbf& dbf, int fej, TListSzotarTetel& list);
