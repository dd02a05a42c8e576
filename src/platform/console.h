// The terminal a command-line program writes to. The program's texts are UTF-8; a Windows console
// shows bytes in its own code page, which the UTF-8 code page of the program's manifest does not
// change, so the CLI asks for UTF-8 at its start.
#pragma once

namespace platform {

// Makes the console (if there is one) read and show UTF-8. Nothing to do on POSIX, where the
// terminal takes the bytes as they are.
void useUtf8Console();

}  // namespace platform
