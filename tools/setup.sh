#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building and testing Corvane. Sourced by run.sh
# and test.sh; apt-get runs only when a package is missing.
corvane_packages=(cmake g++ make pkg-config libsqlite3-dev libzip-dev libexpat1-dev libhpdf-dev fonts-dejavu-core libpq-dev libgtest-dev libgmock-dev libbenchmark-dev sqlite3 python3)
# The Windows programs: cross-built with MinGW-w64 (tools/build_windows.sh), against SQLite, expat,
# libzip, libharu and libpq built from Debian's source packages (dpkg-dev unpacks them; tcl makes
# SQLite's amalgamation, perl libpq's generated headers), packaged by wixl (msitools).
corvane_windows_packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
                          libz-mingw-w64-dev dpkg-dev tcl perl wixl)
# Running them: wine under Xvfb for tests and screenshots (xdotool drives tools/screenshot.sh; socat
# bridges a pseudo-terminal to the serial tests' socket).
corvane_gui_packages=(wine wine64 fonts-wine fonts-liberation xvfb xauth imagemagick x11-utils xdotool socat)
# The tests besides: a word processor that opens the .docx files the program writes, and poppler to
# read the reports, a PostgreSQL server for the fleet tests (each runs a private cluster on a socket).
corvane_test_packages=(libreoffice-writer-nogui poppler-utils postgresql)
# The fuzz targets of fuzz/: clang with libFuzzer's runtime (libclang-rt-14-dev holds
# libclang_rt.fuzzer-x86_64.a) and llvm-symbolizer for readable sanitizer reports.
corvane_fuzz_packages=(clang libclang-rt-14-dev llvm-14)

# corvane_install PACKAGE...: installs those of the packages that are missing.
corvane_install() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# What the native tree (core, CLI, simulator, tests) needs.
corvane_setup() { corvane_install "${corvane_packages[@]}"; }
# What building the Windows programs needs besides.
corvane_setup_windows() { corvane_install "${corvane_windows_packages[@]}"; }
# What running them under Wine needs besides.
corvane_setup_gui() { corvane_install "${corvane_gui_packages[@]}"; }
# What the tests need besides.
corvane_setup_tests() { corvane_install "${corvane_test_packages[@]}"; }
# What fuzz/run.sh needs besides.
corvane_setup_fuzz() { corvane_install "${corvane_fuzz_packages[@]}"; }

# The Windows tree's Wine settings: a private prefix inside the tree, no debug chatter, no add-on
# installers.
corvane_wine_env() {
    export WINEPREFIX="$1/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# corvane_build DIR [cmake options...]: configures and builds the native tree in DIR; fails when
# either step fails.
corvane_build() {
    local dir=$1
    shift
    cmake -S "$corvane_root" -B "$dir" "$@" >/dev/null && cmake --build "$dir" -j "$(nproc)"
}
