// What the fuzz targets share: the scratch folder for readers that take a path, a database to make
// sweep names unique against, and the check that ends a run. Message boxes need nothing: until a
// Prompter is installed the quiet one answers them and shows nothing (traces only with CORVANE_TRACE).
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace fuzz {

// Writes the input to the file name in the target's scratch folder (made once, removed at exit)
// and returns its path.
std::string writeInput(const std::uint8_t* data, std::size_t size, const std::string& name);

// Creates a database in the scratch folder, opens it on the main connection and stores one basic
// sweep under each name, so that readers which name their sweep meet names already taken.
void openScratchDatabase(std::initializer_list<const char*> sweepNames);

// Ends the run as a crash (with what in the report) when a reader broke its promise.
void require(bool condition, const char* what);

}  // namespace fuzz
