// The data browser's core on a real database: rows loaded by rowid and read page by page, sorted and
// narrowed in the database; the finders of sweep rows; value lists longer than SQLite nests.
// (tests/gui/data_browser_test.cpp drives the same through the list.)
#include <gtest/gtest.h>

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

    // The search narrows in the database, within a filtered view's own clause.
    ASSERT_TRUE(rows.load(sweeps, "S14", 0, SortOrder::Loading));
    EXPECT_EQ(shown(rows, 1), (std::vector<std::string>{"S14", "S140", "S141", "S142", "S143", "S144", "S145", "S146",
                                                         "S147", "S148", "S149"}));
    const db::ViewContext some = db::filteredView(TableIndex::Sweep, "WHERE SweepId < 143");
    ASSERT_TRUE(rows.load(some, "S14", 0, SortOrder::Loading));
    EXPECT_EQ(shown(rows, 1), (std::vector<std::string>{"S14", "S140", "S141"}));
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
}

TEST_F(BrowserTest, SortingOrdersNumbersByValueDatesByDayAndTextsRegardlessOfCase) {
    exec("INSERT INTO Sweep (Measurement_Id, Equipment_Id, Transformer_Identifier, Name, Date, Data_Type) VALUES "
         "(1,1,'T1','beta','2021-01-05',1), (1,1,'T1','Alpha','2020-12-31',2), (1,1,'T1','alpha','2019-06-01',0)");
    addSweeps(8, "Z", {"2022-01-01"});  // ids 4 to 11: 10 and 11 come after 9 only by value
    db::ViewRows rows;
    ASSERT_TRUE(rows.load(sweeps, "", 0, SortOrder::Descending));
    EXPECT_EQ(shown(rows, 0).front(), "11");
    EXPECT_EQ(shown(rows, 0).back(), "1");

    ASSERT_TRUE(rows.load(sweeps, "a", 1, SortOrder::Ascending));  // the two alphas keep their loading order
    EXPECT_EQ(shown(rows, 1), (std::vector<std::string>{"Alpha", "alpha", "beta"}));
    ASSERT_TRUE(rows.load(sweeps, "a", 1, SortOrder::Descending));
    EXPECT_EQ(shown(rows, 1), (std::vector<std::string>{"beta", "Alpha", "alpha"}));
    ASSERT_TRUE(rows.load(sweeps, "a", 2, SortOrder::Ascending));
    EXPECT_EQ(shown(rows, 2), (std::vector<std::string>{"01-06-2019", "31-12-2020", "05-01-2021"}));
    ASSERT_TRUE(rows.load(sweeps, "a", 5, SortOrder::Ascending));  // data types by their names
    EXPECT_EQ(shown(rows, 5), (std::vector<std::string>{"FRA", "FRA (Basic)", "LCR"}));
    ASSERT_TRUE(rows.load(sweeps, "a", 5, SortOrder::Loading));
    EXPECT_EQ(shown(rows, 1), (std::vector<std::string>{"beta", "Alpha", "alpha"}));
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
