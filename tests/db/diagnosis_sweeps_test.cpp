// The sweeps a diagnosis may compare: the proposal from a transformer's fingerprint, the transformer a
// browser key names, and the picker's choice among a graph's own sweeps.
#include <gtest/gtest.h>

#include <tuple>

#include "db/diagnosis_sweeps.h"
#include "db_fixture.h"
#include "support/records.h"

using namespace testing_support;

namespace {

class DiagnosisSweepsTest : public DbTest {
protected:
    // A sweep of T1 (or of transformer) without points.
    std::int64_t add(const std::string& name, const std::string& date, const std::string& time, int dataType,
                     const std::string& transformer = "T1", std::int64_t setup = 1) {
        db::SweepRecord r = sweepRecord(name, date, time, 0, 0, dataType);
        r.transformerIdentifier = transformer;
        r.setupId = setup;
        r.equipmentId = 1;
        storeSweep(r);
        return r.id;
    }
    static std::string text(std::int64_t id) { return std::to_string(id); }
};

}  // namespace

TEST_F(DiagnosisSweepsTest, TheProposalIsTheFingerprintAndTheLatestOtherFraSweep) {
    addBasics();
    const std::int64_t fingerprint = add("Commissioning", "2019-04-02", "09:00", db::kDataFra);
    add("Older", "2021-06-01", "10:00", db::kDataBasicFra);
    const std::int64_t latest = add("Same day, later", "2024-03-05", "15:30", db::kDataFra);
    add("Same day, earlier", "2024-03-05", "08:15", db::kDataFra);
    add("Impedance", "2025-01-01", "12:00", db::kDataLcr);
    exec("UPDATE Transformer SET Fingerprint_Sweep_Id='" + text(fingerprint) + "' WHERE Transformer_Identifier='T1'");

    db::DiagnosisSweep f, d;
    db::proposeDiagnosisPair("T1", f, d);
    EXPECT_EQ(f.id, text(fingerprint));
    EXPECT_EQ(f.text, "Commissioning\t02-04-2019 09:00");
    EXPECT_EQ(f.transformer, "T1");
    // Not the impedance sweep, and of two sweeps on one day the later.
    EXPECT_EQ(d.id, text(latest));
    EXPECT_EQ(d.text, "Same day, later\t05-03-2024 15:30");

    // Without a fingerprint the latest sweep is still proposed; an unknown transformer gets nothing.
    exec("UPDATE Transformer SET Fingerprint_Sweep_Id=NULL");
    db::proposeDiagnosisPair("T1", f, d);
    EXPECT_EQ(f.id, "");
    EXPECT_EQ(d.id, text(latest));
    db::proposeDiagnosisPair("O'Brien", f, d);
    EXPECT_EQ(f.id + d.id, "");
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(DiagnosisSweepsTest, ABrowserKeyNamesATransformerOrTheTransformerOfASweep) {
    addBasics();
    const std::int64_t sweep = add("Tap5", "2024-03-05", "10:30", db::kDataFra);
    EXPECT_EQ(db::transformerOfKey("T1"), "T1");
    EXPECT_EQ(db::transformerOfKey(text(sweep)), "T1");
    EXPECT_EQ(db::transformerOfKey("999"), "");
    EXPECT_EQ(db::transformerOfKey(""), "");
}

TEST_F(DiagnosisSweepsTest, ThePickerOffersOnlyTheGraphsFraSweepsOfTheChosenTransformer) {
    addBasics();
    ASSERT_EQ(db::store_transformer(transformerRecord("T2", "Maker", "S-2"), db::kAddUnchecked), 0);
    const std::int64_t other = add("Other unit", "2024-01-01", "10:00", db::kDataFra, "T2");
    const std::int64_t a = add("Tap A", "2024-01-02", "10:00", db::kDataFra);
    const std::int64_t b = add("Tap B", "2024-01-03", "10:00", db::kDataBasicFra);
    const std::int64_t lcr = add("Tap Z", "2024-01-04", "10:00", db::kDataLcr);
    add("Not graphed", "2024-01-05", "10:00", db::kDataFra);

    auto listed = [&](const std::vector<std::int64_t>& among, const std::string& transformer) {
        return column("SELECT SweepId FROM Sweep " + db::diagnosisPickerClause(among, transformer) + " ORDER BY SweepId");
    };
    EXPECT_EQ(listed({other, a, b, lcr}, ""), (std::vector<std::string>{text(other), text(a), text(b)}));
    // The graph's first sweep belongs to another transformer and must not slip through.
    EXPECT_EQ(listed({other, a, b, lcr}, "T1"), (std::vector<std::string>{text(a), text(b)}));
    EXPECT_EQ(listed({}, "T2"), (std::vector<std::string>{text(other)}));
}

// A construction-based comparison proposes the phases of one test, a type-based one the sister unit's
// sweep of the same setup.
TEST_F(DiagnosisSweepsTest, PhasesOfOneTestAndTheSisterUnitsSweepAreProposed) {
    addBasics();  // setup 1: OPEN1 H1-H0
    for (const auto& [name, reference, response, oltc] :
         {std::tuple{"OPEN2", "H2", "H0", 3}, {"OPEN3", "H3", "H0", 3}, {"OPEN4", "X1", "X3", 3}, {"TAP9", "H2", "H0", 9}})
        ASSERT_EQ(db::store_setup(setupRecord(name, reference, response, "NONE", oltc, 30.0f), db::kAddChecked), 0);
    const std::int64_t c = add("Phase C", "2024-03-05", "10:30", db::kDataFra, "T1", 3);
    add("Phase A first", "2024-03-05", "10:00", db::kDataFra, "T1", 1);
    const std::int64_t a = add("Phase A again", "2024-03-05", "11:00", db::kDataFra, "T1", 1);
    const std::int64_t b = add("Phase B", "2024-03-05", "10:15", db::kDataFra, "T1", 2);
    add("Other winding", "2024-03-05", "10:45", db::kDataFra, "T1", 4);
    add("Other tap", "2024-03-05", "10:50", db::kDataFra, "T1", 5);
    add("Phase B impedance", "2024-03-05", "10:55", db::kDataLcr, "T1", 2);
    add("Phase B last year", "2023-03-05", "10:15", db::kDataFra, "T1", 2);
    EXPECT_EQ(db::proposePhaseSweeps(b), (std::vector<std::int64_t>{a, b, c}));
    EXPECT_EQ(db::proposePhaseSweeps(c), (std::vector<std::int64_t>{a, b, c}));
    EXPECT_TRUE(db::proposePhaseSweeps(9999).empty());
    EXPECT_TRUE(db::sameButPhaseNumbers("X1-X2-X3", "X2-X3-X1"));
    EXPECT_FALSE(db::sameButPhaseNumbers("H1", "X1"));

    ASSERT_EQ(db::store_transformer(transformerRecord("T2", "Maker", "S-2"), db::kAddUnchecked), 0);
    add("Sister A", "2022-01-01", "09:00", db::kDataFra, "T2", 1);
    const std::int64_t sisterB = add("Sister B", "2022-01-01", "09:30", db::kDataFra, "T2", 2);
    add("Sister B older", "2021-01-01", "09:30", db::kDataFra, "T2", 2);
    EXPECT_EQ(db::sisterUnitSweep(b, "T2"), sisterB);
    EXPECT_EQ(db::sisterUnitSweep(c, "T2"), 0);
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
}
