// The start-up sequence on real folders: settings folder and files, saved settings, default database.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>

#include "common/identity.h"
#include "app/startup.h"
#include "db/schema.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "support/fake_prompter.h"
#include "support/temp_dir.h"

using namespace testing_support;

namespace {

// Points the user's folders into a temporary home and runs in a temporary current directory.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = std::filesystem::current_path();
        for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR"}) {
            const char* v = std::getenv(name);
            env_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
        }
        setenv("HOME", home.path().c_str(), 1);
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_DOCUMENTS_DIR");
        std::filesystem::current_path(work.path());
    }
    void TearDown() override {
        app::parseCommandLine({});
        db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
        std::filesystem::current_path(saved_);
        for (const auto& [name, v] : env_) {
            if (v) setenv(name.c_str(), v->c_str(), 1);
            else unsetenv(name.c_str());
        }
    }
    std::string settings() const { return home.path() + "/.local/share/Veltrona/Corvane"; }

    TempDir home, work;
    FakePrompter prompter;

private:
    std::filesystem::path saved_;
    std::vector<std::pair<std::string, std::optional<std::string>>> env_;
};

}  // namespace

TEST(Identity, TitleAndCreatedStamp) {
    EXPECT_EQ(common::mainWindowTitle(), "Corvane v1_5");
    platform::LocalTime t;
    t.year = 2024, t.month = 3, t.day = 7, t.hour = 9, t.minute = 5, t.second = 1;
    EXPECT_EQ(app::createdStamp(t), "09:05:01 7/3/2024");
}

TEST(CommandLine, OptionsInAnyCaseAndPlace) {
    app::parseCommandLine({"other", "stuff", "-simulators"});
    EXPECT_FALSE(app::isFakeSweep());
    EXPECT_FALSE(app::usesSimulatedInstrument());
    app::parseCommandLine({"-x", "-FakeSFRA", "-x", "-SIMULATOR"});
    EXPECT_TRUE(app::isFakeSweep());
    EXPECT_TRUE(app::usesSimulatedInstrument());
    app::parseCommandLine({});
}

TEST_F(StartupTest, FirstRunCreatesTheFolderChainBothFilesAndTheDefaultDatabase) {
    app::runStartupSequence();
    EXPECT_EQ(app::settingsFolder(), settings());
    EXPECT_EQ(app::mainIniPath(), settings() + "/Corvane.ini");
    EXPECT_EQ(app::dbIniPath(), settings() + "/Corvane-DBSettings.ini");
    for (const std::string& ini : {app::mainIniPath(), app::dbIniPath()}) {
        std::string stamp = platform::getProfileString(ini, "Init", "Created", "", 64);
        EXPECT_TRUE(std::regex_match(stamp, std::regex(R"(\d\d:\d\d:\d\d \d{1,2}/\d{1,2}/\d{4})"))) << stamp;
    }
    EXPECT_EQ(app::databaseFile(), work.path() + "/default.db");
    EXPECT_NE(db::connectionHandle(db::Connection::Main), nullptr);
    EXPECT_EQ(platform::getProfileString(app::mainIniPath(), "Init", "DatabaseFile", "", 260), work.path() + "/default.db");
    EXPECT_EQ(db::storedVersionText(db::Connection::Main), "2.0");

    const app::ConnectSettings& c = app::connectSettings();
    EXPECT_EQ(c.interfaceType, 0);
    EXPECT_EQ(c.comPort, "");
    EXPECT_EQ(c.baudRate, 0);
    EXPECT_EQ(c.ipAddr, "");
    EXPECT_FALSE(app::backupSettings().autoBackup);
    EXPECT_EQ(app::backupSettings().period, 0);
    EXPECT_EQ(app::backupSettings().location, home.path() + "/Documents/VTL/Backup/");
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(StartupTest, SavedSettingsAreRead) {
    app::runStartupSequence();
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
    const std::string other = work.file("site.db");
    bool created = false;
    ASSERT_TRUE(db::open_database(other, db::OpenMode::CreateIfMissing, &created, db::Connection::Main));
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);

    platform::writeProfileString(app::mainIniPath(), "Connect", "Interface", "2");
    platform::writeProfileString(app::mainIniPath(), "Connect", "IPAddr", "127.0.0.1");
    platform::writeProfileString(app::mainIniPath(), "connect", "comport", "COM5");
    platform::writeProfileString(app::mainIniPath(), "Connect", "BaudRate", "19200");
    platform::writeProfileString(app::mainIniPath(), "Init", "DatabaseFile", other);
    platform::writeProfileString(app::dbIniPath(), "Backup", "AutoBackup", "1");
    platform::writeProfileString(app::dbIniPath(), "Backup", "BackupPeriod", "2");
    platform::writeProfileString(app::dbIniPath(), "Backup", "BackupLocation", "/srv/backups");

    app::runStartupSequence();
    EXPECT_EQ(app::connectSettings().interfaceType, 2);
    EXPECT_EQ(app::connectSettings().ipAddr, "127.0.0.1");
    EXPECT_EQ(app::connectSettings().comPort, "COM5");
    EXPECT_EQ(app::connectSettings().baudRate, 19200);
    EXPECT_EQ(app::databaseFile(), other);
    EXPECT_TRUE(app::backupSettings().autoBackup);
    EXPECT_EQ(app::backupSettings().period, 2);
    EXPECT_EQ(app::backupSettings().location, "/srv/backups");
}

TEST_F(StartupTest, SavedConnectionIsReadAtTheNextStart) {
    app::settleSettingsFiles();
    app::saveConnectSettings({3, "COM12", 38400, ""});
    EXPECT_EQ(app::connectSettings().interfaceType, 0);  // read at start-up only
    app::settleSettingsFiles();
    EXPECT_EQ(app::connectSettings().interfaceType, 3);
    EXPECT_EQ(app::connectSettings().comPort, "COM12");
    EXPECT_EQ(app::connectSettings().baudRate, 38400);
    EXPECT_EQ(app::connectSettings().ipAddr, "");
}

TEST_F(StartupTest, SimulatorOptionConnectsToThisMachineForThisRunOnly) {
    app::settleSettingsFiles();
    app::saveConnectSettings({3, "COM12", 38400, "10.0.0.9"});
    app::parseCommandLine({"-simulator"});
    app::settleSettingsFiles();
    EXPECT_EQ(app::connectSettings().interfaceType, 2);
    EXPECT_EQ(app::connectSettings().ipAddr, "127.0.0.1");
    EXPECT_EQ(platform::getProfileString(app::mainIniPath(), "Connect", "IPAddr", "", 64), "10.0.0.9");
}

TEST_F(StartupTest, DocumentsOptionKeepsTheDefaultDatabaseInDocumentsCorvane) {
    app::parseCommandLine({"-Documents"});
    app::runStartupSequence();
    const std::string documents = home.path() + "/Documents/Corvane";
    EXPECT_EQ(platform::currentDirectory(), documents);
    EXPECT_EQ(app::databaseFile(), documents + "/default.db");
    EXPECT_TRUE(platform::fileExists(documents + "/default.db"));
}

TEST_F(StartupTest, DocumentsOptionStaysWhereItStartedWhenTheFolderCannotBeMade) {
    writeFile(home.file("Documents"), "a file where the folder would be\n");
    app::parseCommandLine({"-documents"});
    app::runStartupSequence();
    EXPECT_EQ(platform::currentDirectory(), work.path());
    EXPECT_EQ(app::databaseFile(), work.path() + "/default.db");
}

TEST_F(StartupTest, DeletedMainSettingsFileIsRecreatedAndTheOtherKept) {
    app::runStartupSequence();
    platform::writeProfileString(app::dbIniPath(), "Backup", "BackupPeriod", "1");
    const std::string dbIniBefore = readFile(app::dbIniPath());
    std::filesystem::remove_all(settings());
    std::filesystem::create_directories(settings());
    writeFile(app::dbIniPath(), dbIniBefore);

    app::runStartupSequence();
    EXPECT_TRUE(std::filesystem::exists(app::mainIniPath()));
    EXPECT_NE(platform::getProfileString(app::mainIniPath(), "Init", "Created", "", 64), "");
    EXPECT_EQ(readFile(app::dbIniPath()), dbIniBefore);
}

TEST_F(StartupTest, VanishedDatabaseFallsBackToDefaultDb) {
    app::runStartupSequence();
    db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main);
    platform::writeProfileString(app::mainIniPath(), "Init", "DatabaseFile", work.file("gone.db"));
    std::filesystem::remove(work.file("default.db"));

    app::runStartupSequence();
    EXPECT_EQ(app::databaseFile(), work.path() + "/default.db");
    EXPECT_TRUE(std::filesystem::exists(app::databaseFile()));
    EXPECT_FALSE(std::filesystem::exists(work.file("gone.db")));
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(StartupTest, WithoutAHomeTheSettingsLiveInTheCurrentDirectory) {
    unsetenv("HOME");
    app::runStartupSequence();
    EXPECT_EQ(app::settingsFolder(), work.path() + "/Veltrona/Corvane");
    EXPECT_TRUE(std::filesystem::exists(app::mainIniPath()));
}

TEST_F(StartupTest, AutomaticBackupsRunAsTheProgramStarts) {
    app::runStartupSequence();
    const std::string location = work.file("backups");
    platform::writeProfileString(app::dbIniPath(), "Backup", "AutoBackup", "1");
    platform::writeProfileString(app::dbIniPath(), "Backup", "BackupPeriod", "0");
    platform::writeProfileString(app::dbIniPath(), "Backup", "BackupLocation", location);
    const std::string folder = location + "/Corvane/default";
    std::filesystem::create_directories(folder);
    writeFile(folder + "/.History.txt", "1/1/2020\n2020_1_1_08_00_00_Manual.db\n");
    writeFile(folder + "/2020_1_1_08_00_00_Manual.db", "");

    app::runStartupSequence();
    int automatic = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        automatic += entry.path().filename().string().ends_with("_Automatic.db");
    EXPECT_EQ(automatic, 1);

    platform::writeProfileString(app::dbIniPath(), "Backup", "AutoBackup", "0");
    writeFile(folder + "/.History.txt", "1/1/2020\n");
    app::runStartupSequence();  // switched off: no second automatic backup
    automatic = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        automatic += entry.path().filename().string().ends_with("_Automatic.db");
    EXPECT_EQ(automatic, 1);
}
