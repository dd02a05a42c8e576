// Rows read by key for the record dialogs: the texts that show a chosen record, a row within a base
// clause, and the case-blind sweep name look-up.
#include <gtest/gtest.h>

#include "db/record_lookup.h"
#include "db/row_text.h"
#include "db_fixture.h"
#include "support/records.h"

using namespace testing_support;
using db::TableIndex;

TEST_F(DbTest, ChosenRecordsAreShownByTheirKeysAndMissingOnesAsNothing) {
    db::SweepRecord sweep = addBasics();
    ASSERT_EQ(db::store_transformer(transformerRecord("O'Neil-7", "Maker", "S 1"), db::kAddChecked), 0);
    sweep.comments = "after repair";
    storeSweep(sweep);

    EXPECT_EQ(db::transformerText("O'Neil-7"), "O'Neil-7 Maker S 1");
    EXPECT_EQ(db::setupText(1), "OPEN1 H1-H0");
    EXPECT_EQ(db::equipmentText(1), "Other Instruments QMX74 410-77");
    EXPECT_EQ(db::fingerprintText(sweep.id), "Tap5   01-07-2013 13:48   after repair");
    EXPECT_EQ(db::transformerText("none"), "");
    EXPECT_EQ(db::setupText(99), "");
    EXPECT_EQ(db::equipmentText(-1), "");
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(DbTest, ARowIsReadByItsKeyOnlyWithinTheBaseClause) {
    db::SweepRecord sweep = addBasics();
    storeSweep(sweep);
    const std::string ofT1 = db::whereColumnIs(TableIndex::Sweep, 3, "T1");
    EXPECT_EQ(ofT1, "WHERE Transformer_Identifier='T1'");
    std::vector<std::string> values;
    ASSERT_TRUE(db::loadRowByKey(TableIndex::Sweep, std::to_string(sweep.id), ofT1, values));
    EXPECT_EQ(db::sweepFromColumns(values).name, "Tap5");
    EXPECT_FALSE(db::loadRowByKey(TableIndex::Sweep, std::to_string(sweep.id),
                                  db::whereColumnIs(TableIndex::Sweep, 3, "O'Other"), values));
    EXPECT_TRUE(db::loadRowByKey(TableIndex::Transformer, "T1", "", values));
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(DbTest, SweepNamesAreFoundInAnyLetterCase) {
    db::SweepRecord sweep = addBasics();
    sweep.name = "Tap 5 O'Neil";
    storeSweep(sweep);
    EXPECT_TRUE(db::sweepNameExists("TAP 5 o'neil"));
    EXPECT_FALSE(db::sweepNameExists("Tap 5"));
}
