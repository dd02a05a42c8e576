// New Database and Open Database, and what follows a database change: the browser shows the new
// database and the connected instrument is checked against it.
#include "gui/db/database_commands.h"

#include "app/instrument_registration.h"
#include "db/database_files.h"
#include "gui/db/create_database_dialog.h"
#include "gui/db/data_browser.h"
#include "gui/instrument/instrument_link.h"

namespace gui {

// The equipment the sweeps named is a row of the database that was current before, so it is
// forgotten; an identified instrument is looked up in the new one and offered for adding when it is
// missing, and the browser then shows what that changed.
void showCurrentDatabase(HWND main) {
    fillDataBrowser(main);
    app::setCurrentEquipmentId(-1);
    instrument::InstrumentLink& link = instrumentLink();
    if (!link.connected) return;
    app::registerConnectedInstrument(link);
    fillDataBrowser(main);
}

bool newDatabaseCommand(HWND main) {
    const bool created = createDatabaseDialog(main);
    if (created) showCurrentDatabase(main);
    else fillDataBrowser(main);  // the earlier database may have closed although none was created
    return created;
}

bool openDatabaseCommand(HWND main) {
    switch (db::open_database_command()) {
    case db::OpenCommandResult::Kept: return true;
    case db::OpenCommandResult::Opened: showCurrentDatabase(main); return true;
    case db::OpenCommandResult::NoneOpen: break;
    }
    fillDataBrowser(main);
    return false;
}

}  // namespace gui
