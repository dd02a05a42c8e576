// printf into a std::string, for texts whose length the format alone does not bound (SQL with user
// values, labels, trace lines). The macro lets compilers that know printf formats check the
// arguments; others build the same code without the check.
#pragma once

#include <cstdarg>
#include <string>

#if defined(__MINGW32__)
// The C99 formats of MinGW's own printf, which the Windows programs use (__USE_MINGW_ANSI_STDIO).
#define CORVANE_PRINTF(formatIndex, firstArgument) __attribute__((format(gnu_printf, formatIndex, firstArgument)))
#elif defined(__GNUC__) || defined(__clang__)
#define CORVANE_PRINTF(formatIndex, firstArgument) __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define CORVANE_PRINTF(formatIndex, firstArgument)
#endif

namespace common {

// The text format and the arguments make, however long.
std::string stringPrintf(const char* format, ...) CORVANE_PRINTF(1, 2);
std::string stringVPrintf(const char* format, va_list args);

}  // namespace common
