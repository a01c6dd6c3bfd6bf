// The in-memory data set: the cursor behaves as a database cursor (Eof stays on the last record,
// Prior steps back from it), fields are found without regard to case, and rows that do not match
// their fields are refused.
#include "reports/engine/RptDataSet.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TRptMemoryDataSet threeRows() {
    TRptMemoryDataSet ds("Items", {{"Qty", TRptFieldType::Integer},
                                   {"Name", TRptFieldType::String},
                                   {"Blob", TRptFieldType::Other}});
    for (int i = 1; i <= 3; ++i) {
        ds.AppendRow({TRptEvResult::Integer(i), TRptEvResult::String(std::string(1, 'a' + i)),
                      TRptEvResult::Integer(0)});
    }
    return ds;
}

TEST(RptMemoryDataSet, CursorWalksLikeADatabaseCursor) {
    TRptMemoryDataSet ds = threeRows();
    EXPECT_TRUE(ds.Eof()) << "closed";
    EXPECT_TRUE(ds.FieldValue(0).IsError());
    ds.Open();
    ASSERT_FALSE(ds.Eof());
    EXPECT_EQ(ds.RecordCount(), 3);
    std::vector<int> seen;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        seen.push_back(ds.FieldValue(0).AsInteger());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    // At the end the last record stays current; one step back reaches the one before it.
    EXPECT_EQ(ds.FieldValue(0).AsInteger(), 3);
    ds.Prior();
    EXPECT_FALSE(ds.Eof());
    EXPECT_EQ(ds.FieldValue(0).AsInteger(), 2);
    ds.Prior();
    ds.Prior();
    ds.Prior();
    EXPECT_EQ(ds.FieldValue(1).AsString(), "b");
    EXPECT_TRUE(ds.FieldValue(2).IsError()) << "a field of another type is never read";
    ds.Close();
    EXPECT_TRUE(ds.Eof());

    TRptMemoryDataSet empty("E", {{"X", TRptFieldType::Float}});
    empty.Open();
    EXPECT_TRUE(empty.Eof());
    empty.Prior();
    EXPECT_TRUE(empty.Eof());
    EXPECT_TRUE(empty.FieldValue(0).IsError());
}

TEST(RptMemoryDataSet, FieldsByNameAndRefusedRows) {
    TRptMemoryDataSet ds = threeRows();
    EXPECT_EQ(ds.FindField("qty"), 0);
    EXPECT_EQ(ds.FindField("NAME"), 1);
    EXPECT_EQ(ds.FindField("Nam"), -1);
    EXPECT_THROW(ds.AppendRow({TRptEvResult::Integer(1)}), std::invalid_argument);
    EXPECT_THROW(
        ds.AppendRow({TRptEvResult::Float(1), TRptEvResult::String("x"), TRptEvResult::Integer(0)}),
        std::invalid_argument);
    EXPECT_EQ(ds.RecordCount(), 3);
}

} // namespace
