# Cross-building the Windows programs (64-bit) with Debian's MinGW-w64, the POSIX-threads flavour
# (std::mutex and std::condition_variable need it). Libraries built for Windows in the build tree
# (SQLite, expat, libzip) are found under CORVANE_WINDOWS_DEPS; the tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(corvane_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${corvane_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${corvane_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${corvane_mingw}-windres)

set(CORVANE_WINDOWS_DEPS "" CACHE PATH "Prefix of the libraries built for Windows (tools/build_windows.sh)")
set(CMAKE_FIND_ROOT_PATH /usr/${corvane_mingw} ${CORVANE_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# ctest runs the test programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
