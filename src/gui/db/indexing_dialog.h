// "Preparing Database": a large database opened for the first time gets its key indexes on a worker
// thread while this box shows that the program is busy; it closes itself when they are made, so that
// the program never sits frozen without a word. User-interface thread only.
#pragma once

namespace gui {

// Makes this box the way the database layer indexes a large file (db::setKeyIndexRunner).
void installIndexingDialog();

}  // namespace gui
