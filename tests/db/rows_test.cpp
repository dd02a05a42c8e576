// Rows read back as text for lists and dialogs, the data browser's list rows and its search.
#include <gtest/gtest.h>

#include "db/browser_views.h"
#include "db/row_text.h"
#include "db_fixture.h"

using namespace testing_support;
using db::TableIndex;

TEST(RowText, DatesAreShownDayFirstWithTheirFaultsNamed) {
    EXPECT_EQ(db::displayDate("2020-05-12"), "12-05-2020");
    EXPECT_EQ(db::displayDate("2020-5-3"), "03-05-2020");
    EXPECT_EQ(db::displayDate("20-5-3"), "03-05-0020");
    EXPECT_EQ(db::displayDate("20200512"), "ERR_BAD_DAY");
    EXPECT_EQ(db::displayDate("2020-0512"), "ERR_BAD_MONTH");
    EXPECT_EQ(db::rowValue("Calibration_Due_Date", "7"), " ");
    EXPECT_EQ(db::rowValue("Date", "20200512"), "ERR_BAD_DAY");
}

TEST(RowText, ValuesAreConvertedByColumnName) {
    EXPECT_EQ(db::rowValue("Name", nullptr), " ");
    EXPECT_EQ(db::rowValue("Name", ""), " ");
    EXPECT_EQ(db::rowValue("Fluid_Filled", "TRUE"), "Yes");
    EXPECT_EQ(db::rowValue("Fluid_Filled", "FALSE"), "No");
    EXPECT_EQ(db::rowValue("Data_Type", "1"), "1");  // "Data_Type" is not a date
    EXPECT_EQ(db::viewValue("Fluid_Filled", nullptr), " ");
    EXPECT_EQ(db::viewValue("Fluid_Filled", ""), "No");
    EXPECT_EQ(db::viewValue("Data_Type", "0"), "FRA (Basic)");
    EXPECT_EQ(db::viewValue("Data_Type", "2"), "LCR");
    EXPECT_EQ(db::viewValue("Comments", "O'Neil"), "O'Neil");
    EXPECT_EQ(db::splitRow("a\t \tc"), (std::vector<std::string>{"a", " ", "c"}));
}

TEST_F(DbTest, SelectRowsGivesTabSeparatedConvertedRows) {
    exec("INSERT INTO Measurement (Name, Reference_Terminal, Response_Terminal, Connected_Terminals, OLTC, "
         "Unshielded_Length, Fluid_Filled, Comments) VALUES ('OPEN1','H1','H0','NONE',3,30.0,'TRUE',NULL), "
         "('OPEN2','H2','H0','NONE',3,30.0,NULL,'')");
    exec("INSERT INTO Equipment (Manufacturer, Instrument, Serial_Number, Calibration_Due_Date) VALUES "
         "('M','QMX74','410-1','2024-3-7')");
    std::vector<std::string> rows;
    ASSERT_TRUE(db::select_rows(rows, TableIndex::Measurement, {1, 7, 8, 6}, "", false));
    EXPECT_EQ(rows, (std::vector<std::string>{"OPEN1\tYes\t \t30.0", "OPEN2\t \t \t30.0"}));

    rows.clear();
    ASSERT_TRUE(db::select_rows(rows, TableIndex::Equipment, db::allColumns(TableIndex::Equipment),
                                "WHERE Serial_Number='410-1'", true));
    EXPECT_EQ(rows, std::vector<std::string>{"1\tM\tQMX74\t410-1\t07-03-2024"});
    EXPECT_EQ(db::rememberedFilter(TableIndex::Equipment), "WHERE Serial_Number='410-1'");

    rows.clear();
    ASSERT_TRUE(db::select_rows_to_view(rows, TableIndex::Measurement, {1, 7}, "", false));
    EXPECT_EQ(rows, (std::vector<std::string>{"OPEN1\tYes\t", "OPEN2\t \t"}));
    EXPECT_EQ(db::rememberedFilter(TableIndex::Equipment), "WHERE Serial_Number='410-1'");
}

TEST_F(DbTest, EquipmentIsFoundByInstrumentAndSerialAndLoadedWithItsStoredDueDate) {
    exec("INSERT INTO Equipment (Manufacturer, Instrument, Serial_Number, Calibration_Due_Date) VALUES "
         "('M','QMX74','410-1','2024-03-07'), ('M','QMX74','O''Neil 2','2025-01-02')");
    db::EquipmentRecord e;
    ASSERT_TRUE(db::find_equipment("QMX74", "O'Neil 2", e));
    EXPECT_EQ(e.id, 2);
    EXPECT_FALSE(db::find_equipment("QMX27", "410-1", e));
    EXPECT_EQ(e.id, 2);  // unchanged when nothing matched
    ASSERT_TRUE(db::load_equipment(1, e));
    EXPECT_EQ(e.serialNumber, "410-1");
    EXPECT_EQ(e.calibrationDueDate, "2024-03-07");  // year first, as the calibration check reads it
    EXPECT_FALSE(db::load_equipment(3, e));
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(DbTest, FailedSelectShowsTheDatabaseError) {
    std::vector<std::string> rows;
    EXPECT_FALSE(db::select_rows(rows, TableIndex::Sweep, {0}, "WHERE no_such_column=1", false));
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].caption, "Database Error");
    EXPECT_EQ(prompter.boxes[0].text, "no such column: no_such_column");

    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
    EXPECT_FALSE(db::select_rows_to_view(rows, TableIndex::Sweep, {0}, "", false));
    EXPECT_EQ(prompter.boxes.back().caption, "Database Connection Error");
    EXPECT_NE(prompter.boxes.back().text.find("[code:11572]"), std::string::npos);
    EXPECT_TRUE(rows.empty());
}

TEST(SearchClause, DatesTurnRoundAndEveryColumnIsSearched) {
    db::ViewContext sweeps;
    ASSERT_TRUE(db::tableView(3, sweeps));
    std::string clause = db::searchClause(sweeps, "05-2020");
    EXPECT_EQ(clause.substr(0, 36), "WHERE SweepId LIKE '%2020%-%05%' OR ");
    EXPECT_NE(clause.find(" OR Temperature LIKE '%2020%-%05%'"), std::string::npos);  // not a shown column
    EXPECT_TRUE(clause.ends_with(" ELSE Data_Type END LIKE '%2020%-%05%'")) << clause;  // as shown

    db::ViewContext filtered{TableIndex::Sweep, {0, 4}, "WHERE Transformer_Identifier='T1'", true};
    EXPECT_EQ(db::searchClause(filtered, "O'N"),
              "WHERE Transformer_Identifier='T1' AND (SweepId LIKE '%O''N%' OR Name LIKE '%O''N%')");
    EXPECT_EQ(db::searchClause(filtered, ""), "WHERE Transformer_Identifier='T1'");
    EXPECT_EQ(db::searchClause(sweeps, ""), "");
}

TEST_F(DbTest, SearchNarrowsTheSweepList) {
    addBasics();
    exec("INSERT INTO Sweep (Measurement_Id, Equipment_Id, Transformer_Identifier, Name, Date, Time, Comments, "
         "Data_Type) VALUES (1,1,'T1','May sweep','2020-05-12','10:00','',0), (1,1,'T1','June sweep','2020-06-15',"
         "'10:00','O''Neil said so',1), (1,1,'T1','Old','2019-05-20','10:00','',2)");
    db::ViewContext sweeps;
    ASSERT_TRUE(db::tableView(3, sweeps));
    std::vector<std::string> rows;
    db::search_view(sweeps, "05-2020", rows);
    EXPECT_EQ(rows, std::vector<std::string>{"1\tMay sweep\t12-05-2020\t10:00\t \tFRA (Basic)\t"});
    db::search_view(sweeps, "O'Neil", rows);
    EXPECT_EQ(rows, std::vector<std::string>{"2\tJune sweep\t15-06-2020\t10:00\tO'Neil said so\tFRA\t"});
    db::search_view(sweeps, "", rows);
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
}
