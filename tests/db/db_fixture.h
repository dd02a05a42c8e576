// A fresh database file in a temporary folder, open on the main connection, with a scripted Prompter;
// plus raw SQLite access for setting up and checking what the program wrote.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/record_store.h"
#include "db/schema.h"
#include "support/fake_prompter.h"
#include "support/temp_dir.h"

namespace testing_support {

class DbTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs sql on the main connection, failing the test on error.
    void exec(const std::string& sql);
    // The first column of every row of a query, as text ("NULL" for NULL).
    std::vector<std::string> column(const std::string& sql);
    // The single value of a query.
    std::string value(const std::string& sql);

    // Stores a transformer T1, setup 1, equipment 1 and returns a sweep record ready for store_sweep.
    db::SweepRecord addBasics();
    // Gives the sweep the next id and stores its row (not its points).
    void storeSweep(db::SweepRecord& sweep);
    // Stores a sweep of the given data type with n points and returns its id.
    std::int64_t addSweep(const std::string& name, int dataType, int points);

    TempDir dir;
    FakePrompter prompter;
    std::string path;
};

// Raw SQLite on a file of its own, for files made by hand.
void execOnFile(const std::string& file, const std::string& sql);
std::vector<std::string> columnOnFile(const std::string& file, const std::string& sql);

// What is wrong with a database file, one line each: integrity_check's complaints, sweeps without
// points (or, when pointsPerSweep is given, without exactly that many), and points that no sweep of
// their table's data type owns. Empty when the file is whole.
std::vector<std::string> storeInconsistencies(const std::string& file, int pointsPerSweep = 0);

}  // namespace testing_support
