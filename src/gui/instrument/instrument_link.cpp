// The instrument connection's record.
#include "gui/instrument/instrument_link.h"

namespace gui {

instrument::InstrumentLink& instrumentLink() {
    static instrument::InstrumentLink link;
    return link;
}

}  // namespace gui
