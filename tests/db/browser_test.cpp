// The data browser's core on a real database: rows loaded by rowid and read page by page, sorted and
// narrowed in the database; the finders of sweep rows; value lists longer than SQLite nests.
// (tests/gui/data_browser_test.cpp drives the same through the list.)
#include <gtest/gtest.h>

#include <algorithm>

#include "db/browser_finders.h"
#include "db/browser_rows.h"
#include "db/browser_views.h"
#include "db/sql_text.h"
#include "db_fixture.h"

using namespace testing_support;
using db::SortOrder;
using db::TableIndex;

namespace {

class BrowserTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        addBasics();  // transformer T1, setup 1 "OPEN1", equipment 1
        ASSERT_TRUE(db::tableView(db::kSweepsView, sweeps));
    }

    // Inserts sweeps of T1 named name0, name1, ... dated in turn from the dates given.
    void addSweeps(int count, const std::string& name, const std::vector<std::string>& dates, int dataType = 0) {
        exec("BEGIN");
        for (int i = 0; i < count; ++i)
            exec("INSERT INTO Sweep (Measurement_Id, Equipment_Id, Transformer_Identifier, Name, Date, Time, Data_Type) "
                 "VALUES (1, 1, 'T1', '" + name + std::to_string(i) + "', '" + dates[i % dates.size()] + "', '10:00', " +
                 std::to_string(dataType) + ")");
        exec("COMMIT");
    }

    // Loads the list and takes the rest of it in steps, as the data browser does.
    static bool loadWhole(db::ViewRows& rows, const db::ViewContext& view, const std::string& search, int column,
                          SortOrder order) {
        if (!rows.load(view, search, column, order)) return false;
        while (rows.loadMore(7)) {
        }
        return rows.complete();
    }

    std::vector<std::string> shown(db::ViewRows& rows, std::size_t c) {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < rows.size(); ++i) out.push_back(rows.row(i).at(c));
        return out;
    }

    db::ViewContext sweeps;
};

TEST_F(BrowserTest, RowsAreLoadedByRowidAndReadAPageAtATimeAsShown) {
    addSweeps(150, "S", {"2020-05-12"});
    db::ViewRows rows;
    // The first rows come at once, the others in steps.
    ASSERT_TRUE(rows.load(sweeps, "", 0, SortOrder::Loading));
    EXPECT_EQ(rows.size(), 64u);
    EXPECT_FALSE(rows.complete());
    EXPECT_TRUE(rows.loadMore(10));
    EXPECT_EQ(rows.size(), 74u);
    EXPECT_EQ(rows.key(73), "74");  // a short last page, read again once more rows join it
    EXPECT_TRUE(rows.loadMore(1000));
    ASSERT_EQ(rows.size(), 150u);
    EXPECT_TRUE(rows.complete());
    EXPECT_FALSE(rows.loadMore(1000));
    EXPECT_EQ(rows.row(149), (std::vector<std::string>{"150", "S149", "12-05-2020", "10:00", " ", "FRA (Basic)"}));
    EXPECT_EQ(rows.key(0), "1");
    EXPECT_TRUE(rows.row(150).empty());

    // A row deleted after the load is an empty row, not another one.
    exec("DELETE FROM Sweep WHERE SweepId=70");
    EXPECT_TRUE(rows.row(69).empty());
    EXPECT_EQ(rows.key(70), "71");

    // The search narrows in the database, within a filtered view's own clause; the load examines a
    // screenful of rows at once and shows those it keeps, the steps that follow the others.
    ASSERT_TRUE(rows.load(sweeps, "S14", 0, SortOrder::Loading));
    EXPECT_EQ(shown(rows, 1), std::vector<std::string>{"S14"});
    EXPECT_FALSE(rows.complete());
    ASSERT_TRUE(loadWhole(rows, sweeps, "S14", 0, SortOrder::Loading));
    EXPECT_EQ(shown(rows, 1), (std::vector<std::string>{"S14", "S140", "S141", "S142", "S143", "S144", "S145", "S146",
                                                         "S147", "S148", "S149"}));
    const db::ViewContext some = db::filteredView(TableIndex::Sweep, "WHERE SweepId < 143");
    ASSERT_TRUE(loadWhole(rows, some, "S14", 0, SortOrder::Loading));
    EXPECT_EQ(shown(rows, 1), (std::vector<std::string>{"S14", "S140", "S141"}));
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
}

TEST_F(BrowserTest, SortingOrdersNumbersByValueDatesByDayAndTextsRegardlessOfCase) {
    exec("INSERT INTO Sweep (Measurement_Id, Equipment_Id, Transformer_Identifier, Name, Date, Data_Type) VALUES "
         "(1,1,'T1','beta','2021-01-05',1), (1,1,'T1','Alpha','2020-12-31',2), (1,1,'T1','alpha','2019-06-01',0)");
    addSweeps(8, "Z", {"2022-01-01"}, db::kDataLcr);  // ids 4 to 11: 10 and 11 come after 9 only by value
    db::ViewRows rows;
    ASSERT_TRUE(loadWhole(rows, sweeps, "", 0, SortOrder::Descending));
    EXPECT_EQ(shown(rows, 0).front(), "11");
    EXPECT_EQ(shown(rows, 0).back(), "1");

    ASSERT_TRUE(loadWhole(rows, sweeps, "a", 1, SortOrder::Ascending));  // the two alphas keep their loading order
    EXPECT_EQ(shown(rows, 1), (std::vector<std::string>{"Alpha", "alpha", "beta"}));
    ASSERT_TRUE(loadWhole(rows, sweeps, "a", 1, SortOrder::Descending));  // ascending reversed
    EXPECT_EQ(shown(rows, 1), (std::vector<std::string>{"beta", "alpha", "Alpha"}));
    ASSERT_TRUE(loadWhole(rows, sweeps, "a", 2, SortOrder::Ascending));
    EXPECT_EQ(shown(rows, 2), (std::vector<std::string>{"01-06-2019", "31-12-2020", "05-01-2021"}));
    ASSERT_TRUE(loadWhole(rows, sweeps, "a", 5, SortOrder::Ascending));  // data types by their names
    EXPECT_EQ(shown(rows, 5), (std::vector<std::string>{"FRA", "FRA (Basic)", "LCR"}));
    ASSERT_TRUE(loadWhole(rows, sweeps, "a", 5, SortOrder::Loading));
    EXPECT_EQ(shown(rows, 1), (std::vector<std::string>{"beta", "Alpha", "alpha"}));
}

// The search sees the texts the list shows: a data type's name, not its stored number.
TEST_F(BrowserTest, SearchFindsDataTypesByTheirNames) {
    addSweeps(2, "Basic", {"2020-01-01"}, db::kDataBasicFra);
    addSweeps(1, "Full", {"2020-01-01"}, db::kDataFra);
    addSweeps(1, "Impedance", {"2020-01-01"}, db::kDataLcr);
    db::ViewRows rows;
    ASSERT_TRUE(loadWhole(rows, sweeps, "LCR", 0, SortOrder::Loading));
    EXPECT_EQ(shown(rows, 1), std::vector<std::string>{"Impedance0"});
    ASSERT_TRUE(loadWhole(rows, sweeps, "fra", 1, SortOrder::Ascending));
    EXPECT_EQ(shown(rows, 1), (std::vector<std::string>{"Basic0", "Basic1", "Full0"}));
    ASSERT_TRUE(loadWhole(rows, sweeps, "(basic", 0, SortOrder::Loading));
    EXPECT_EQ(shown(rows, 5), (std::vector<std::string>{"FRA (Basic)", "FRA (Basic)"}));
    ASSERT_TRUE(loadWhole(rows, sweeps, "2", 0, SortOrder::Loading));  // LCR is stored as 2
    EXPECT_EQ(shown(rows, 1), (std::vector<std::string>{"Basic0", "Basic1", "Full0", "Impedance0"}))
        << "the dates hold a 2";
    ASSERT_TRUE(loadWhole(rows, sweeps, "Impedance0", 0, SortOrder::Loading));
    EXPECT_EQ(rows.size(), 1u);
}

// A sorted list is walked in steps along its column: blanks first, equal values in the order of
// loading across the steps' ends, values without an index (a data type without a name) found too.
TEST_F(BrowserTest, SortedListsAreWalkedInStepsWithoutLosingOrRepeatingARow) {
    addSweeps(12, "tie", {"2020-01-01"});
    exec("UPDATE Sweep SET Name='tie'");
    exec("INSERT INTO Sweep (Measurement_Id, Equipment_Id, Transformer_Identifier, Name, Data_Type) VALUES "
         "(1,1,'T1',NULL,2), (1,1,'T1','Tie',7), (1,1,'T1','a',1), (1,1,'T1',NULL,0)");  // ids 13 to 16
    db::ViewRows rows;
    ASSERT_TRUE(loadWhole(rows, sweeps, "", 1, SortOrder::Ascending));
    std::vector<std::string> ids = shown(rows, 0);
    EXPECT_EQ(ids, (std::vector<std::string>{"13", "16", "15", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
                                             "11", "12", "14"}));
    ASSERT_TRUE(loadWhole(rows, sweeps, "", 1, SortOrder::Descending));
    std::reverse(ids.begin(), ids.end());
    EXPECT_EQ(shown(rows, 0), ids);

    ASSERT_TRUE(loadWhole(rows, sweeps, "", 5, SortOrder::Ascending));
    EXPECT_EQ(shown(rows, 0).front(), "14") << "its type shows as 7, before the names";
    EXPECT_EQ(shown(rows, 5).front(), "7");
    EXPECT_EQ(shown(rows, 0).back(), "13");
    EXPECT_EQ(rows.size(), 16u);
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
}

TEST_F(BrowserTest, SweepRowsFindSimilarSweepsAndTheRecordsTheyReferTo) {
    addSweeps(1, "Basic", {"2020-01-01"}, db::kDataBasicFra);
    addSweeps(1, "Full", {"2020-01-01"}, db::kDataFra);
    addSweeps(1, "Lcr", {"2020-01-01"}, db::kDataLcr);
    db::RowFinders f = db::findersFor(TableIndex::Sweep, {"1"});
    std::vector<std::string> labels;
    for (const db::Finder* finder : f.all()) labels.push_back(finder->label);
    EXPECT_EQ(labels, (std::vector<std::string>{
                          "All sweeps on the same transformer (\"T1 Maker S-1\")",
                          "All sweeps performed with the same setup (\"OPEN1 H1-H0\")",
                          "All sweeps performed on the same equipment (\"Other Instruments QMX74 410-77\")",
                          "All sweeps of the same datatype (\"FRA (Basic)\")", "T1 Maker S-1", "OPEN1 H1-H0",
                          "Other Instruments QMX74 410-77"}));
    // A basic FRA sweep finds basic and full ones; each record alone is view 4 on its own table.
    EXPECT_EQ(f.similar[3].view.baseFilter, "WHERE Data_Type='1' OR Data_Type='0'");
    EXPECT_EQ(f.setups[0].view.table, TableIndex::Measurement);
    EXPECT_EQ(f.setups[0].view.baseFilter, "WHERE Measurement_Id='1'");
    EXPECT_TRUE(f.anyFra);
    EXPECT_FALSE(f.anyLcr);

    db::RowFinders mixed = db::findersFor(TableIndex::Sweep, {"2", "3"});
    EXPECT_TRUE(mixed.anyFra && mixed.anyLcr);
    EXPECT_EQ(mixed.similar.back().view.baseFilter, "WHERE Data_Type='2'");
    EXPECT_EQ(mixed.transformers.size(), 1u);  // both sweeps are on T1
}

TEST_F(BrowserTest, LongListsOfValuesAreMatchedWithoutNestingTooDeep) {
    addSweeps(1200, "S", {"2020-05-12"});
    std::vector<std::string> ids;
    for (int i = 1; i <= 1200; i += 2) ids.push_back(std::to_string(i));
    const std::string where = db::whereAnyOf("SweepId", ids);
    EXPECT_TRUE(where.starts_with("WHERE SweepId IN ('1','3',")) << where.substr(0, 40);
    db::ViewRows rows;
    ASSERT_TRUE(rows.load(db::filteredView(TableIndex::Sweep, where), "", 0, SortOrder::Loading));
    while (rows.loadMore(100)) {
    }
    EXPECT_EQ(rows.size(), 600u);
    EXPECT_EQ(rows.key(599), "1199");
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
}

}  // namespace
