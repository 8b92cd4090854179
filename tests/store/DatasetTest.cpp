#include "DataSetModel.h"
#include "MemData.h"
#include "GTestQt.h"

#include <QSignalSpy>
#include <numeric>
#include <gtest/gtest.h>

namespace {
TFieldDefs ProductFields()
{
    return {{"KOD", TFieldType::String, 20}, {"NEV", TFieldType::String, 60}, {"RENDMENNY", TFieldType::Integer, 10},
            {"AR", TFieldType::Float, 14, 2}, {"AKCIOS", TFieldType::Boolean}, {"KELT", TFieldType::Date}};
}

void AddProduct(TRxMemoryData& t, const QString& kod, const QString& nev, const QVariant& menny, double ar, bool akcios)
{
    t.Append();
    t.SetFieldValue("KOD", kod);
    t.SetFieldValue("NEV", nev);
    t.SetFieldValue("RENDMENNY", menny);
    t.SetFieldValue("AR", ar);
    t.SetFieldValue("AKCIOS", akcios);
    t.Post();
}

QStringList Codes(TDataSet& ds)
{
    QStringList out;
    const TBookmark keep = ds.GetBookmark();
    for (ds.First(); !ds.Eof(); ds.Next()) out << ds.FieldValue("KOD").toString();
    ds.GotoBookmark(keep);
    return out;
}

struct TMemFixture : ::testing::Test {
    TRxMemoryData t;
    void SetUp() override
    {
        t.CreateTable(ProductFields());
        AddProduct(t, "A1", "Őszibarack", 3, 120.5, true);
        AddProduct(t, "B2", "alma", QVariant(), 99, false);
        AddProduct(t, "C3", "Ürmös bor", 0, 1500, true);
        AddProduct(t, "D4", "Barack lekvár", 12, 640, false);
    }
};
}

TEST_F(TMemFixture, ValuesTypesAndNulls)
{
    ASSERT_TRUE(t.Locate("KOD", "B2"));
    EXPECT_FALSE(t.FieldValue("RENDMENNY").isValid());
    EXPECT_EQ(t.AsInteger(t.FieldIndex("rendmenny")), 0);
    EXPECT_EQ(t.FieldValue("AR").toDouble(), 99.0);
    EXPECT_EQ(t.FieldValue("AKCIOS").typeId(), QMetaType::Bool);
    EXPECT_FALSE(t.FieldValue("NINCS").isValid());
    EXPECT_FALSE(t.FieldValue("KELT").isValid());
    EXPECT_EQ(t.RecordCount(), 4);
    // A text into a numeric field is converted; a non-number is refused and the buffer stays.
    t.Edit();
    t.SetFieldValue("RENDMENNY", "7");
    EXPECT_THROW(t.SetFieldValue("AR", "sok"), EDataSetError);
    t.Post();
    EXPECT_EQ(t.FieldValue("RENDMENNY").toLongLong(), 7);
    EXPECT_EQ(t.FieldValue("AR").toDouble(), 99.0);
}

TEST_F(TMemFixture, NavigationEofBofAndEmptyTable)
{
    t.First();
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.RecNo(), 0);
    int n = 0;
    while (!t.Eof()) {
        ++n;
        t.Next();
    }
    EXPECT_EQ(n, 4);
    EXPECT_EQ(t.RecNo(), 3);  // Eof keeps the last row current
    t.Prior();
    EXPECT_EQ(t.RecNo(), 2);
    t.EmptyTable();
    EXPECT_TRUE(t.IsEmpty());
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.RecNo(), -1);
    EXPECT_THROW(t.Edit(), EDataSetError);
    EXPECT_THROW(t.Delete(), EDataSetError);
    t.Close();
    EXPECT_FALSE(t.FieldValue("KOD").isValid());
    EXPECT_EQ(t.RecordCount(), 0);
}

TEST_F(TMemFixture, FilterSortAndCurrentRowKept)
{
    ASSERT_TRUE(t.Locate("KOD", "C3"));
    t.SetOnFilterRecord([](TDataSet& ds) { return ds.FieldValue("AKCIOS").toBool(); });
    t.SetFiltered(true);
    EXPECT_EQ(Codes(t), QStringList({"A1", "C3"}));
    EXPECT_EQ(t.FieldValue("KOD").toString(), "C3");  // still passes, still current
    t.SortOnFields({"NEV"});
    EXPECT_EQ(Codes(t), QStringList({"C3", "A1"}));  // accented capitals after plain letters, Ü (U+00DC) before Ő (U+0150)
    t.SetFiltered(false);
    EXPECT_EQ(Codes(t), QStringList({"B2", "D4", "C3", "A1"}));  // sort survives refilter, case ignored
    t.SortOnFields({"AR"}, true);
    EXPECT_EQ(Codes(t), QStringList({"C3", "D4", "A1", "B2"}));
    t.SortOnFields({"RENDMENNY"});  // nulls first
    EXPECT_EQ(Codes(t).first(), "B2");
    t.SortOnFields({});
    EXPECT_EQ(Codes(t), QStringList({"A1", "B2", "C3", "D4"}));
}

TEST_F(TMemFixture, EditedRowThatFailsTheFilterLeavesTheView)
{
    t.SetOnFilterRecord([](TDataSet& ds) { return ds.FieldValue("AKCIOS").toBool(); });
    t.SetFiltered(true);
    ASSERT_TRUE(t.Locate("KOD", "A1"));
    t.Edit();
    t.SetFieldValue("AKCIOS", false);
    EXPECT_EQ(t.FieldValue("AKCIOS").toBool(), false);  // the buffer is what reads see
    t.Post();
    EXPECT_EQ(Codes(t), QStringList({"C3"}));
    AddProduct(t, "E5", "Nem akciós", 1, 1, false);  // appended but filtered out
    EXPECT_EQ(t.RecordCount(), 1);
    t.SetFiltered(false);
    EXPECT_EQ(t.RecordCount(), 5);
}

TEST_F(TMemFixture, LocateOptions)
{
    struct {
        QString field;
        QVariant value;
        TLocateOptions opt;
        QString expect;  // empty: not found
    } cases[] = {
        {"NEV", "alma", 0, "B2"},
        {"NEV", "ALMA", 0, ""},
        {"NEV", "ALMA", loCaseInsensitive, "B2"},
        {"NEV", "bar", loCaseInsensitive | loPartialKey, "D4"},
        {"NEV", "őszi", loCaseInsensitive | loPartialKey, "A1"},
        {"AR", "640", 0, "D4"},
        {"AR", 1500, 0, "C3"},
        {"RENDMENNY", QVariant(), 0, "B2"},
        {"NINCS", "x", 0, ""},
    };
    for (const auto& c : cases) {
        t.Last();
        const bool found = t.Locate(c.field, c.value, c.opt);
        EXPECT_EQ(found, !c.expect.isEmpty()) << c.field.toStdString() << " " << c.value.toString().toStdString();
        EXPECT_EQ(t.FieldValue("KOD").toString(), found ? c.expect : QString("D4"));
    }
    EXPECT_TRUE(t.Locate(QStringList{"AKCIOS", "RENDMENNY"}, QVariantList{true, 0}));
    EXPECT_EQ(t.FieldValue("KOD").toString(), "C3");
}

TEST_F(TMemFixture, BookmarksAndDelete)
{
    ASSERT_TRUE(t.Locate("KOD", "C3"));
    const TBookmark c3 = t.GetBookmark();
    ASSERT_TRUE(t.Locate("KOD", "B2"));
    t.Delete();
    EXPECT_EQ(t.FieldValue("KOD").toString(), "C3");  // the next row becomes current
    EXPECT_EQ(t.RecordCount(), 3);
    t.First();
    EXPECT_TRUE(t.GotoBookmark(c3));
    EXPECT_EQ(t.FieldValue("KOD").toString(), "C3");
    t.Last();
    t.Delete();
    EXPECT_EQ(t.FieldValue("KOD").toString(), "C3");  // at the end the previous one
    t.SetOnFilterRecord([](TDataSet& ds) { return ds.FieldValue("KOD").toString() != "C3"; });
    t.SetFiltered(true);
    EXPECT_FALSE(t.GotoBookmark(c3));  // filtered out
    EXPECT_EQ(Codes(t), QStringList({"A1"}));
}

TEST_F(TMemFixture, AppendCancelAndNavigationPosts)
{
    t.Append();
    t.SetFieldValue("KOD", "X9");
    t.Cancel();
    EXPECT_EQ(t.RecordCount(), 4);
    EXPECT_FALSE(t.Locate("KOD", "X9"));
    t.Append();
    t.SetFieldValue("KOD", "Y8");
    t.First();  // moving posts the row
    EXPECT_EQ(t.State(), TDataSetState::Browse);
    EXPECT_TRUE(t.Locate("KOD", "Y8"));
    EXPECT_THROW(t.SetFieldValue("KOD", "Z"), EDataSetError);  // not in edit state
}

TEST_F(TMemFixture, DisabledControlsEmitOnceWhenEnabled)
{
    QSignalSpy data(&t, &TDataSet::DataChanged), current(&t, &TDataSet::CurrentChanged), row(&t, &TDataSet::RowChanged);
    {
        TDisableControls off(&t);
        TDisableControls nested(&t);
        for (t.First(); !t.Eof(); t.Next()) {
            t.Edit();
            t.SetFieldValue("RENDMENNY", 1);
            t.Post();
        }
    }
    EXPECT_EQ(data.count(), 1);
    EXPECT_EQ(current.count(), 1);
    EXPECT_EQ(row.count(), 0);
    t.First();
    t.Edit();
    t.SetFieldValue("NEV", "új");
    EXPECT_GE(row.count(), 1);
    EXPECT_EQ(row.last().at(0).toInt(), 0);
    t.Post();
}

TEST_F(TMemFixture, LoadFromDataSetCopiesTheView)
{
    t.SetOnFilterRecord([](TDataSet& ds) { return ds.FieldValue("AR").toDouble() > 100; });
    t.SetFiltered(true);
    t.SortOnFields({"AR"});
    ASSERT_TRUE(t.Locate("KOD", "C3"));
    TRxMemoryData copy;
    EXPECT_EQ(copy.LoadFromDataSet(t), 3);
    EXPECT_EQ(Codes(copy), QStringList({"A1", "D4", "C3"}));
    EXPECT_EQ(t.FieldValue("KOD").toString(), "C3");
    EXPECT_EQ(copy.Fields().size(), ProductFields().size());
    ASSERT_TRUE(copy.Locate("KOD", "A1"));
    EXPECT_EQ(copy.FieldValue("NEV").toString(), QStringLiteral("Őszibarack"));
}

TEST_F(TMemFixture, ModelFollowsDataSetBothWays)
{
    TDataSetModel model(&t);
    model.SetColumns({{"KOD", "Kód"}, {"AR", ""}, {"AKCIOS", "Akciós"}, {"NINCS", "Hiányzó"}});
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.columnCount(), 4);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Kód");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "AR");
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "120.50");
    EXPECT_EQ(model.data(model.index(0, 2)).toString(), "Igen");
    EXPECT_FALSE(model.data(model.index(0, 3)).isValid());

    // The view's current row moves the dataset ...
    model.selectionModel()->setCurrentIndex(model.index(2, 0), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(t.FieldValue("KOD").toString(), "C3");
    // ... and the dataset moves the view.
    t.First();
    EXPECT_EQ(model.selectionModel()->currentIndex().row(), 0);

    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    t.SetOnFilterRecord([](TDataSet& ds) { return ds.FieldValue("AKCIOS").toBool(); });
    t.SetFiltered(true);
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), "C3");

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(model.setData(model.index(1, 1), 2000.0));
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(t.FieldValue("AR").toDouble(), 2000.0);
    EXPECT_FALSE(model.setData(model.index(1, 1), "nem szám"));
    EXPECT_EQ(t.State(), TDataSetState::Browse);
}

TEST(MemSort, KeyedSortMatchesPlainCaseInsensitiveOrder)
{
    // Texts sharing long prefixes, differing in case, accents, length and with nulls, plus a
    // numeric column with negatives: the keyed sorts must give the plain comparison's order,
    // equal values keeping their stored order.
    const QStringList parts = {"alma", "Alma", "ALMAFA", "almafa ", QStringLiteral("álma"), QStringLiteral("Őszi"),
                               QStringLiteral("őszibarack"), "Csípős paprikakrém 1", "Csípős paprikakrém 10", "", "b"};
    TRxMemoryData t;
    t.CreateTable({{"NEV", TFieldType::String, 40}, {"AR", TFieldType::Float}});
    QVector<QVariant> names, prices;
    quint32 x = 12345;
    for (int i = 0; i < 400; ++i) {
        x = x * 1103515245u + 12345u;
        const QVariant nev = (x >> 8) % 13 == 0 ? QVariant() : QVariant(parts[(x >> 4) % parts.size()] + ((x >> 12) % 3 ? QString() : QString::number(x % 7)));
        const QVariant ar = (x >> 9) % 11 == 0 ? QVariant() : QVariant(double(int((x >> 3) % 200) - 100) / 4);
        t.Append();
        t.SetValue(0, nev);
        t.SetValue(1, ar);
        t.Post();
        names << nev;
        prices << ar;
    }
    for (bool desc : {false, true}) {
        for (int field : {0, 1}) {
            const QVector<QVariant>& v = field == 0 ? names : prices;
            QVector<int> expect(v.size());
            std::iota(expect.begin(), expect.end(), 0);
            std::stable_sort(expect.begin(), expect.end(), [&](int a, int b) {
                const QVariant& x1 = v[a];
                const QVariant& y1 = v[b];
                int c;
                if (!x1.isValid() || !y1.isValid()) c = int(x1.isValid()) - int(y1.isValid());
                else if (field == 0) c = x1.toString().compare(y1.toString(), Qt::CaseInsensitive);
                else c = x1.toDouble() < y1.toDouble() ? -1 : x1.toDouble() > y1.toDouble();
                return desc ? c > 0 : c < 0;
            });
            t.SortOnFields({field == 0 ? "NEV" : "AR"}, desc);
            QVector<qint64> got;
            for (int r = 0; r < t.RecordCount(); ++r) got << t.StoredRowAt(r);
            QVector<qint64> want(expect.begin(), expect.end());
            EXPECT_EQ(got, want) << "field " << field << " desc " << desc;
        }
    }
}
