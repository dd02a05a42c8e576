// The main window's title names the connection.
#include <gtest/gtest.h>

#include "app/instrument_registration.h"

TEST(WindowTitle, ShowsTheConnection) {
    instrument::InstrumentLink link;
    EXPECT_EQ(app::windowTitle(link), "Corvane v1_5");
    link.connected = true;
    link.interfaceType = instrument::kLan;
    link.identity = "VELTRONA,QMX74,1234,2.01";
    EXPECT_EQ(app::windowTitle(link), "Corvane v1_5     LAN,QMX74,1234,2.01");
    link.interfaceType = instrument::kSerial;
    link.identity = "";
    EXPECT_EQ(app::windowTitle(link), "Corvane v1_5     SER,Unknown Connection");
}
