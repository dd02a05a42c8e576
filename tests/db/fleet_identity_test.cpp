// The file's fleet identities: given when a record is stored, dated again when it changes, gone with
// a deleted record (so that an identifier used again is a new unit), and given afterwards to records
// another program stored; a failed write leaves no identity behind.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "db/fleet_identity.h"
#include "db_fixture.h"
#include "support/records.h"

using testing_support::DbTest;

namespace {

class FleetIdentityTest : public DbTest {
protected:
    db::FleetIdentity identityOf(db::TableIndex table, const std::string& key) {
        db::FleetIdentity id;
        EXPECT_TRUE(db::fleetIdentityOf(table, key, id)) << key;
        return id;
    }
};

}  // namespace

TEST_F(FleetIdentityTest, StoredRecordsGetAnIdentityThatFollowsTheirChangesAndDeletion) {
    (void)addBasics();
    const std::int64_t sweep = addSweep("Tap 1", db::kDataBasicFra, 3);
    const db::FleetIdentity unit = identityOf(db::TableIndex::Transformer, "T1");
    const db::FleetIdentity stored = identityOf(db::TableIndex::Sweep, std::to_string(sweep));
    EXPECT_EQ(unit.globalId.size(), 36u);
    EXPECT_NE(unit.globalId, stored.globalId);
    EXPECT_TRUE(stored.syncedAt.empty());
    EXPECT_EQ(db::fleetLocalKey(db::TableIndex::Sweep, stored.globalId), std::to_string(sweep));
    EXPECT_EQ(value("SELECT count(*) FROM Fleet_Identity"), "4");  // unit, setup, equipment, sweep

    // An update keeps the id and dates the change.
    ASSERT_EQ(db::store_transformer(testing_support::transformerRecord("TX-77", "Maker", "S-7"), db::kAddChecked), 0);
    const db::FleetIdentity made = identityOf(db::TableIndex::Transformer, "TX-77");
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    EXPECT_EQ(db::store_transformer(testing_support::transformerRecord("TX-77", "Other", "S-2"), db::kUpdate), 0);
    const db::FleetIdentity changed = identityOf(db::TableIndex::Transformer, "TX-77");
    EXPECT_EQ(changed.globalId, made.globalId);
    EXPECT_GT(changed.changedAt, made.changedAt);

    // Deleted with its sweeps, the unit's identifier made again is another unit.
    db::RecordSelection all{db::TableIndex::Transformer, {0}, "WHERE Transformer_Identifier='T1'"};
    ASSERT_TRUE(db::delete_records(db::DeleteKind::Transformer, all, false));
    db::FleetIdentity gone;
    EXPECT_FALSE(db::fleetIdentityOf(db::TableIndex::Sweep, std::to_string(sweep), gone));
    EXPECT_FALSE(db::fleetIdentityOf(db::TableIndex::Transformer, "T1", gone));
    EXPECT_EQ(db::store_transformer(testing_support::transformerRecord("T1", "Maker", "S-1"), db::kAddUnchecked), 0);
    EXPECT_NE(identityOf(db::TableIndex::Transformer, "T1").globalId, unit.globalId);
}

TEST_F(FleetIdentityTest, RecordsStoredWithoutTheProgramGetTheirIdentityOnce) {
    exec("INSERT INTO Transformer (Transformer_Identifier, Manufacturer, Serial_Number) VALUES ('T''9', 'M', 'S')");
    exec("INSERT INTO Equipment (Manufacturer, Instrument, Serial_Number) VALUES ('M', 'I', 'S')");
    EXPECT_EQ(db::assignMissingFleetIdentities(), 2);
    EXPECT_EQ(db::assignMissingFleetIdentities(), 0);
    EXPECT_EQ(identityOf(db::TableIndex::Transformer, "T'9").globalId.size(), 36u);
    const std::string laptop = db::fleetLaptopId();
    EXPECT_EQ(laptop.size(), 36u);
    EXPECT_EQ(db::fleetLaptopId(), laptop);
}

TEST_F(FleetIdentityTest, ARefusedRecordLeavesNoIdentity) {
    (void)addBasics();
    // The same instrument twice is refused, and so is its identity.
    EXPECT_EQ(db::store_equipment(testing_support::equipmentRecord("Other Instruments", "QMX74", "410-77", "2030-01-31"),
                                  db::kAddChecked),
              db::kAlreadyExists);
    EXPECT_EQ(value("SELECT count(*) FROM Fleet_Identity WHERE Table_Index = 2"), "1");
}
