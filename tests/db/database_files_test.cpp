// New databases of every transformer type, opening the current database, and the Open Database
// command, on real files.
#include <gtest/gtest.h>

#include <filesystem>

#include "db/database_files.h"
#include "db/default_setups.h"
#include "db/record_store.h"
#include "db/schema.h"
#include "platform/profile.h"
#include "support/fake_prompter.h"
#include "support/temp_dir.h"

using namespace testing_support;

namespace {

class DatabaseFilesTest : public ::testing::Test {
protected:
    void TearDown() override {
        db::close_current_database();
        db::setDatabaseSettingsFile("");
        db::setCurrentDatabasePath("");
    }
    static bool enterTransformer(db::TransformerRecord& t) {
        t.identifier = "T-100";
        t.manufacturer = "Maker";
        t.serialNumber = "S1";
        return true;
    }
    std::vector<std::string> setupRows() {
        std::vector<std::string> rows;
        db::select_rows(rows, db::TableIndex::Measurement, db::allColumns(db::TableIndex::Measurement), "", false);
        return rows;
    }

    TempDir dir;
    FakePrompter prompter;
};

}  // namespace

TEST_F(DatabaseFilesTest, EveryTypeGetsExactlyItsSetupsInOrder) {
    for (int type = 0; type < db::kTransformerTypeCount; ++type) {
        const std::string path = dir.file("type" + std::to_string(type) + ".db");
        prompter.saveResults.push_back(path);
        bool asked = false;
        ASSERT_TRUE(db::create_database(type, [&](db::TransformerRecord& t) {
            asked = true;
            EXPECT_EQ(t.dialogMode, 3);
            return enterTransformer(t);
        })) << type;
        EXPECT_EQ(asked, type != db::kUserDefinedType);
        EXPECT_TRUE(db::databaseIsOpen());
        EXPECT_EQ(db::currentDatabasePath(), path);

        std::vector<std::string> expected;
        int id = 1;
        for (const db::DefaultSetup& s : db::defaultSetups(type))
            expected.push_back(std::to_string(id++) + "\t" + s.name + "\t" + s.referenceTerminal + "\t" +
                               s.responseTerminal + "\t" + s.connectedTerminals + "\t3\t30.0\tNo\t ");
        EXPECT_EQ(setupRows(), expected) << type;
        EXPECT_EQ(db::count_rows(db::TableIndex::Transformer), type == db::kUserDefinedType ? 0 : 1);
    }
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.captions();
}

TEST_F(DatabaseFilesTest, TheTypesTablesHoldWhatEngineersExpect) {
    EXPECT_STREQ(db::transformerTypeName(0), "Three Phase Star-Delta (2 Windings)");
    EXPECT_STREQ(db::transformerTypeName(10), "None (User Defined)");
    std::vector<std::string> names;
    for (const auto& s : db::defaultSetups(7)) names.push_back(s.name);
    EXPECT_EQ(names, (std::vector<std::string>{"OPEN1", "OPEN2", "SHORT", "INTERWINDING"}));
    const auto auto3 = db::defaultSetups(5), deltaStar = db::defaultSetups(1);
    ASSERT_EQ(auto3.size(), 12u);
    for (std::size_t i = 0; i < auto3.size(); ++i) EXPECT_STREQ(auto3[i].responseTerminal, deltaStar[i].responseTerminal);
    const auto tertiary = db::defaultSetups(9);
    ASSERT_EQ(tertiary.size(), 8u);
    EXPECT_STREQ(tertiary[4].name, "SHORT2");
    EXPECT_STREQ(tertiary[4].connectedTerminals, tertiary[5].connectedTerminals);
    EXPECT_EQ(db::defaultSetups(3).size(), 27u);
    EXPECT_EQ(db::defaultSetups(4).size(), 27u);
    EXPECT_EQ(db::defaultSetups(6).size(), 24u);
    EXPECT_STREQ(db::defaultSetups(6)[3].responseTerminal, "H0X0");
    EXPECT_TRUE(db::defaultSetups(10).empty());
}

TEST_F(DatabaseFilesTest, CancellingEitherDialogCreatesNothing) {
    EXPECT_FALSE(db::create_database(0, [](db::TransformerRecord&) { return false; }));
    EXPECT_TRUE(prompter.choicesShown.empty());  // the file chooser never came
    EXPECT_FALSE(db::create_database(0, enterTransformer));  // the file chooser cancelled
    ASSERT_EQ(prompter.choicesShown.size(), 1u);
    EXPECT_EQ(prompter.choicesShown[0].defaultExtension, "db");
    EXPECT_EQ(prompter.choicesShown[0].filters.at(0).first, "Database File *.db");
    EXPECT_FALSE(db::databaseIsOpen());
}

TEST_F(DatabaseFilesTest, AnExistingFileIsConfirmedThenAddedTo) {
    const std::string path = dir.file("site.db");
    prompter.saveResults.push_back(path);
    ASSERT_TRUE(db::create_database(7, enterTransformer));
    db::close_current_database();

    prompter.saveResults.push_back(path);
    prompter.queueAnswer(platform::Answer::Cancel);
    EXPECT_FALSE(db::create_database(7, enterTransformer));
    EXPECT_EQ(prompter.boxes.back().text, "A file with that name already exists");

    prompter.saveResults.push_back(path);
    prompter.queueAnswer(platform::Answer::Ok);
    ASSERT_TRUE(db::create_database(7, enterTransformer));
    EXPECT_EQ(setupRows().size(), 8u);  // the four setups again, as new rows
    EXPECT_EQ(db::count_rows(db::TableIndex::Transformer), 1);  // the transformer was there already
}

TEST_F(DatabaseFilesTest, OpeningReportsWhatWentWrongAndRemembersWhatWorked) {
    const std::string settings = dir.file("Corvane.ini");
    db::setDatabaseSettingsFile(settings);
    writeFile(dir.file("notes.db"), "not a database\n");
    db::setCurrentDatabasePath(dir.file("notes.db"));
    EXPECT_FALSE(db::open_current_database(db::OpenMode::CreateIfMissing));
    EXPECT_EQ(prompter.boxes.back().text, dir.file("notes.db") + " is not a Corvane database file");
    EXPECT_EQ(prompter.boxes.back().caption, "Corvane");
    EXPECT_FALSE(db::open_current_database(db::OpenMode::Open));
    EXPECT_EQ(prompter.boxes.back().text, "Unable to open the last used database file <" + dir.file("notes.db") + ">");
    EXPECT_FALSE(db::databaseIsOpen());
    EXPECT_EQ(platform::getProfileString(settings, "Init", "DatabaseFile", "none", 260), "none");

    db::setCurrentDatabasePath(dir.file("good.db"));
    ASSERT_TRUE(db::open_current_database(db::OpenMode::CreateIfMissing));
    EXPECT_EQ(db::shownDatabaseName(), "good.db");
    EXPECT_EQ(platform::getProfileString(settings, "Init", "DatabaseFile", "", 260), dir.file("good.db"));
}

TEST_F(DatabaseFilesTest, OpenDatabaseAsksFirstAndOpensTheChosenFile) {
    db::setCurrentDatabasePath(dir.file("first.db"));
    ASSERT_TRUE(db::open_current_database(db::OpenMode::CreateIfMissing));
    EXPECT_EQ(db::open_database_command(), db::OpenCommandResult::Kept);  // No: stays as it was
    EXPECT_EQ(prompter.boxes.back().text, "Are you sure you want to break the connection to the database file " +
                                              dir.file("first.db"));
    EXPECT_EQ(db::currentDatabasePath(), dir.file("first.db"));

    db::close_current_database();
    bool created = false;
    ASSERT_TRUE(
        db::open_database(dir.file("second.db"), db::OpenMode::CreateIfMissing, &created, db::Connection::Main));
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
    prompter.openResults.push_back({dir.file("second.db")});
    EXPECT_EQ(db::open_database_command(), db::OpenCommandResult::Opened);
    EXPECT_EQ(prompter.choicesShown.back().title, "Open Database");
    EXPECT_EQ(db::shownDatabaseName(), "second");

    prompter.queueAnswer(platform::Answer::Yes);
    EXPECT_EQ(db::open_database_command(), db::OpenCommandResult::NoneOpen);  // the chooser is cancelled
    EXPECT_FALSE(db::databaseIsOpen());
    EXPECT_EQ(db::currentDatabasePath(), "");
}
