#include "UtilDisplayFields.h"

#include <gtest/gtest.h>

namespace {
TEST(DisplayFields, AddReplacesByNameWithoutCaseAndCutsTexts)
{
    TDisplayFields list;
    AddDisplayField(list, "KOD", "Kód", 80);
    AddDisplayField(list, "NEV", "Név", 200, "", true, 0);
    AddDisplayField(list, "kod", "Cikkszám", 90, "0", false, 2);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].FieldName, "kod");
    EXPECT_EQ(list[0].Display, "Cikkszám");
    EXPECT_EQ(list[0].Width, 90);
    EXPECT_EQ(list[0].Format, "0");
    EXPECT_FALSE(list[0].Visible);
    EXPECT_EQ(list[0].Tag, 2);
    EXPECT_EQ(FindDisplayField(list, "Nev"), 1);
    EXPECT_EQ(FindDisplayField(list, "AR"), -1);

    AddDisplayField(list, QString(300, 'X'), QString(129, 'y'), 1, QString(200, '0'));
    EXPECT_EQ(list[2].FieldName.size(), 128);
    EXPECT_EQ(list[2].Display.size(), 128);
    EXPECT_EQ(list[2].Format.size(), 128);
}

TEST(DisplayFields, MergeAppendsOnlyUnknownFieldsWithoutMarker)
{
    TDisplayFields target, source;
    AddDisplayField(target, "NEV", "Név", 200);
    AddDisplayField(source, "KOD", "Kód", 80, "", true, 1);
    AddDisplayField(source, "nev", "Más", 10);
    AddDisplayField(source, "AR", "Ár", 60, "0.00", true, 2);
    MergeDisplayFields(target, source, false);
    ASSERT_EQ(target.size(), 3);
    EXPECT_EQ(target[0].Display, "Név");
    EXPECT_EQ(target[1].FieldName, "KOD");
    EXPECT_EQ(target[2].FieldName, "AR");
    EXPECT_EQ(target[2].Format, "0.00");
    EXPECT_EQ(target[2].Width, 60);
    for (int i = 1; i < 3; ++i) {
        EXPECT_FALSE(target[i].Visible);
        EXPECT_EQ(target[i].Tag, 0);
    }
}

TEST(DisplayFields, LayoutsAreKeyedByNamesWithoutCaseAndTagsExactly)
{
    TListGridFormatItem store;
    TDisplayFields a, b;
    AddDisplayField(a, "KOD", "Kód", 80);
    AddDisplayField(b, "NEV", "Név", 200);
    StoreGridFormat(store, "FormCikkLista", "grdMaster", 0, a, 0, 1);
    StoreGridFormat(store, "FormCikkLista", "grdMaster", 0, b, 0, 0);  // browse mode keeps its own
    StoreGridFormat(store, "FormCikkLista", "grdDetail", 150, b, 0, 1);
    ASSERT_EQ(store.size(), 3);
    EXPECT_EQ(FindGridFormat(store, "formcikklista", "GRDMASTER", 0, 1), 0);
    EXPECT_EQ(FindGridFormat(store, "FormCikkLista", "grdMaster", 0, 0), 1);
    EXPECT_EQ(FindGridFormat(store, "FormCikkLista", "grdMaster", 1, 0), -1);
    EXPECT_EQ(FindGridFormat(store, "FormMegrendList", "grdMaster", 0, 0), -1);

    StoreGridFormat(store, "FORMCIKKLISTA", "grdmaster", 321, b, 0, 1);
    ASSERT_EQ(store.size(), 3);
    EXPECT_EQ(store[0].FormName, "FormCikkLista");  // the first spelling stays
    EXPECT_EQ(store[0].GridHeight, 321);
    EXPECT_EQ(store[0].Columns[0].FieldName, "NEV");
}
}  // namespace
