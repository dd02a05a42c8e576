#include "db_fixture.h"

#include <sqlite3.h>

#include "support/records.h"

namespace testing_support {
namespace {

std::vector<std::string> query(sqlite3* handle, const std::string& sql) {
    std::vector<std::string> out;
    char* error = nullptr;
    auto callback = [](void* context, int, char** values, char**) -> int {
        static_cast<std::vector<std::string>*>(context)->push_back(values[0] ? values[0] : "NULL");
        return 0;
    };
    int rc = sqlite3_exec(handle, sql.c_str(), callback, &out, &error);
    EXPECT_EQ(rc, SQLITE_OK) << sql << ": " << (error ? error : "");
    sqlite3_free(error);
    return out;
}

}  // namespace

void DbTest::SetUp() {
    path = dir.file("test.db");
    bool created = false;
    ASSERT_TRUE(db::open_database(path, db::OpenMode::CreateIfMissing, &created, db::Connection::Main));
    ASSERT_TRUE(created);
}

void DbTest::TearDown() {
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Backup);
}

void DbTest::exec(const std::string& sql) { query(db::connectionHandle(db::Connection::Main), sql); }

std::vector<std::string> DbTest::column(const std::string& sql) {
    return query(db::connectionHandle(db::Connection::Main), sql);
}

std::string DbTest::value(const std::string& sql) {
    auto values = column(sql);
    EXPECT_EQ(values.size(), 1u) << sql;
    return values.empty() ? std::string() : values[0];
}

db::SweepRecord DbTest::addBasics() {
    // "T1" is shorter than the dialogs allow.
    EXPECT_EQ(db::store_transformer(transformerRecord("T1", "Maker", "S-1"), db::kAddUnchecked), 0);
    EXPECT_EQ(db::store_setup(setupRecord("OPEN1", "H1", "H0", "NONE", 3, 30.0f), db::kAddChecked), 0);
    EXPECT_EQ(
        db::store_equipment(equipmentRecord("Other Instruments", "QMX74", "410-77", "2030-01-31"), db::kAddChecked), 0);
    db::SweepRecord r = sweepRecord("Tap5", "2013-07-01", "13:48", 10, 21.5, db::kDataBasicFra);
    r.transformerIdentifier = "T1";
    r.setupId = 1;
    r.equipmentId = 1;
    return r;
}

void DbTest::storeSweep(db::SweepRecord& sweep) {
    sweep.id = db::next_row_id(db::TableIndex::Sweep);
    EXPECT_EQ(db::store_sweep(sweep, db::kAddChecked), 0);
}

std::int64_t DbTest::addSweep(const std::string& name, int dataType, int points) {
    db::SweepRecord r = sweepRecord(name, "2020-05-12", "10:00", 0, 0, dataType);
    r.transformerIdentifier = "T1";
    r.setupId = 1;
    r.equipmentId = 1;
    for (int i = 0; i < points; ++i) {
        double f = 20.0 * (i + 1);
        if (dataType == db::kDataBasicFra) r.basicPoints.push_back({f, -40.0 - i, 10.0 * i});
        else if (dataType == db::kDataFra) r.fraPoints.push_back({f, 1.0, 0.01, -40.0 - i, 10.0 * i, 1e-6});
        else r.lcrPoints.push_back({f, 1e-3, -80, 1000, 80, 0.5, 0, 10});
    }
    storeSweep(r);
    EXPECT_EQ(db::store_points(r), 0);
    return r.id;
}

void execOnFile(const std::string& file, const std::string& sql) {
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &handle), SQLITE_OK);
    query(handle, sql);
    sqlite3_close(handle);
}

std::vector<std::string> columnOnFile(const std::string& file, const std::string& sql) {
    sqlite3* handle = nullptr;
    EXPECT_EQ(sqlite3_open(file.c_str(), &handle), SQLITE_OK);
    sqlite3_busy_timeout(handle, 5000);  // the file may be in another process's hands just now
    auto out = query(handle, sql);
    sqlite3_close(handle);
    return out;
}

std::vector<std::string> storeInconsistencies(const std::string& file, int pointsPerSweep) {
    std::vector<std::string> found = columnOnFile(file, "PRAGMA integrity_check");
    if (found == std::vector<std::string>{"ok"}) found.clear();
    const std::string wrongCount = pointsPerSweep > 0 ? "IFNULL(n.c, 0) != " + std::to_string(pointsPerSweep)
                                                      : std::string("n.c IS NULL");
    const auto more = columnOnFile(
        file, "WITH p(id, t) AS (SELECT Sweep_Id, 0 FROM Data UNION ALL SELECT Sweep_Id, 1 FROM Data_FRA "
              "UNION ALL SELECT Sweep_Id, 2 FROM Data_LCR), "
              "n(id, t, c) AS (SELECT id, t, count(*) FROM p GROUP BY id, t) "
              "SELECT 'sweep ' || s.SweepId || ' has ' || IFNULL(n.c, 0) || ' points' FROM Sweep s "
              "LEFT JOIN n ON n.id = s.SweepId AND n.t = s.Data_Type WHERE " + wrongCount +
                  " UNION ALL SELECT n.c || ' points of type ' || n.t || ' without their sweep ' || n.id FROM n "
                  "LEFT JOIN Sweep s ON s.SweepId = n.id AND s.Data_Type = n.t WHERE s.SweepId IS NULL");
    found.insert(found.end(), more.begin(), more.end());
    return found;
}

}  // namespace testing_support
