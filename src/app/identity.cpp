#include "app/identity.h"

namespace app {

std::string mainWindowTitle() {
    std::string version = kVersionText;
    return std::string(kProductName) + " " + version.substr(0, version.find(' '));
}

}  // namespace app
