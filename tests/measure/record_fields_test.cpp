// The record dialogs' checks where they go beyond what the dialogs' own tests show: states and texts
// as typed, what an edit passes unchanged and keeps of the stored record, and input the store would
// take wrongly.
#include <gtest/gtest.h>

#include "db/db_fixture.h"
#include "measure/record_fields.h"
#include "support/records.h"

using namespace measure;

TEST(RecordFields, IdentifiersNamesAndLengthsAsTheyAreTyped) {
    EXPECT_EQ(checkTransformerIdentifier("", {}).text, "");
    EXPECT_EQ(checkTransformerIdentifier("TX1", {}).text, "This Identifier is not long enough");
    EXPECT_EQ(checkTransformerIdentifier("ABC1", {"abc1"}).text, "This Identifier is already taken");
    EXPECT_EQ(checkTransformerIdentifier("ABC1", {}).state, kFieldValid);  // nothing to compare with

    EXPECT_EQ(checkSetupName("OPEN", {"OPEN", "Short"}, "OPEN").text, "OK");
    EXPECT_EQ(checkSetupName("open", {"OPEN", "Short"}, "Short").text, "This name is already taken");

    EXPECT_EQ(checkUnshieldedLength(""), kFieldEmpty);
    EXPECT_EQ(checkUnshieldedLength("2k"), kFieldValid);
    // 0, a unit after a blank, a second separator, and a negative length the store would refuse.
    for (const char* refused : {"0", "12 mm", "1.2.3", "-5"}) EXPECT_EQ(checkUnshieldedLength(refused), kFieldInvalid) << refused;
}

TEST(RecordFields, ASetupKeepsItsOwnShortNameAndRefusesATapPositionThatIsNoNumber) {
    SetupForm form{"HV1", "H1", "H0", "NONE", "3", "2k", "O'Neil's note", true};
    EXPECT_FALSE(refuseSetup(form, {"HV1"}, "HV1"));
    EXPECT_EQ(refuseSetup(form, {"HV1"}, "")->message, "Invalid Name for this setup");
    for (const char* tap : {"3a", "-1", "99999999999"}) {
        SetupForm bad = form;
        bad.oltc = tap;
        const auto refused = refuseSetup(bad, {}, "HV1");
        ASSERT_TRUE(refused) << tap;
        EXPECT_EQ(refused->message, "Invalid On Load Tap Changer (OLTC) value");
        EXPECT_EQ(refused->field, SetupField::Oltc);
    }
    db::SetupRecord record;
    record.id = 7;
    fillSetup(form, record);
    EXPECT_EQ(record.id, 7);
    EXPECT_EQ(record.oltc, 3);
    EXPECT_FLOAT_EQ(record.unshieldedLength, 2000.0f);
    EXPECT_TRUE(record.fluidFilled);
    EXPECT_EQ(setupForm(record).length, "2000.00");
}

using SweepRecordFields = testing_support::DbTest;

TEST_F(SweepRecordFields, AnEditPassesWhatWasNotChangedAndKeepsItAsStored) {
    db::SweepRecord stored = addBasics();
    stored.temperature = -5;
    stored.peakVoltage = 0;
    storeSweep(stored);  // "Tap5"
    EXPECT_EQ(checkStoredSweepName("TAP5", "").text, "This name is already taken");
    EXPECT_EQ(checkStoredSweepName("TAP5", "Tap5").text, "OK");

    const SweepForm shown = sweepForm(stored);
    EXPECT_EQ(shown.temperature, "");
    EXPECT_EQ(shown.peakVoltage, "");
    SweepForm edited = shown;
    edited.name = "TAP5";
    edited.peakVoltage = "12.5";
    edited.comments = std::string(300, 'c');
    ASSERT_FALSE(refuseSweep(edited, &shown));
    EXPECT_EQ(refuseSweep(edited, nullptr)->message, "Sweep Name is already taken");
    db::SweepRecord record = stored;
    fillSweep(edited, &shown, record);
    EXPECT_EQ(record.temperature, -5);
    EXPECT_EQ(record.peakVoltage, 12.5);
    EXPECT_EQ(record.comments.size(), 300u);
    EXPECT_EQ(sweepForm(record).peakVoltage, "12.50000");
}
