// Paths under Wine. The program's core runs on the host's C library there, which takes host (Unix)
// paths, while the Windows API takes drive paths. Under Wine the platform layer therefore hands the
// core host paths and turns them into drive paths at each Windows call; on Windows itself both forms
// are the same and nothing is converted.
#pragma once

#include <string>

namespace platform {

// True when the process runs under Wine (its path conversion entry points exist).
bool runningUnderWine();

// A path of the core's form (a host path under Wine) as the Windows API takes it ("Z:\\tmp\\x.db").
// Unchanged on Windows, or when Wine cannot convert it.
std::string toSystemPath(const std::string& path);

// A path the Windows API gave (a file dialog's answer, a shell folder) in the core's form: the host
// path under Wine ("/tmp/x.db"). Unchanged on Windows, or when Wine cannot convert it.
std::string fromSystemPath(const std::string& path);

}  // namespace platform
