// Files and folders: the few file-system calls the core makes itself. Paths are in the operating
// system's own form; pathSeparator() is the character that joins folder and file names.
#pragma once

#include <string>
#include <vector>

namespace platform {

// '\\' on Windows, '/' on POSIX.
char pathSeparator();

// folder + separator + name; folder's own trailing separator is not doubled.
std::string joinPath(const std::string& folder, const std::string& name);

// True when the path's status can be queried (a file or a folder is there).
bool fileExists(const std::string& path);

// One plain make-directory call (no parents). False when it failed, for example because the folder
// exists already.
bool makeDirectory(const std::string& path);

// Makes every missing folder on the way to and including path. True when the folder exists afterwards.
bool makeDirectories(const std::string& path);

// Writes bytes to path whole or not at all: they go to a new file of a unique name in the same folder
// first, which then takes path's place in one step, so that a reader (another instance of the
// program, say) meets the old file or the new one, never half of one. False when anything failed;
// path is then as it was and no temporary file is left.
bool writeWholeFile(const std::string& path, const std::string& bytes);

// Moves the file from into to's place in one step, replacing a file there. False when it could not.
bool replaceFile(const std::string& from, const std::string& to);

// The folder of the running program's executable; "" when it cannot be had.
std::string programFolder();

// Deletes a file. False when it could not be deleted.
bool deleteFile(const std::string& path);

// The names (without folder) of the regular files, or of the folders ("." and ".." left out), in a
// folder, sorted; empty when the folder cannot be read.
std::vector<std::string> listFiles(const std::string& folder);
std::vector<std::string> listFolders(const std::string& folder);

// Marks a file hidden from the user's folder views. On POSIX a leading dot in the name does that
// already, and this does nothing.
bool setFileHidden(const std::string& path);

// The process's current directory, or "" when it cannot be read.
std::string currentDirectory();

// Makes path the process's current directory. False when it cannot be entered; the current directory
// is then unchanged.
bool setCurrentDirectory(const std::string& path);

}  // namespace platform
