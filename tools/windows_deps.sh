# The libraries the Windows programs link statically, built for Windows from Debian's own source
# packages with the MinGW-w64 toolchain: SQLite, expat, libzip, libharu and libpq (zlib is Debian's
# MinGW package).
# Sourced by tools/build_windows.sh. Each library is fetched and built once and kept in DEPS; a
# stamp names the source version it was built from.
#
# The source packages come through a private apt folder (DEPS/apt): its source list is the machine's
# own configured sources with every "deb" made "deb-src", so the system's apt configuration is never
# touched and no host name is written anywhere.

corvane_deps_libraries=(sqlite3 expat libzip libharu libpq)
# A library whose source package has another name is found through a binary package that source
# builds: PostgreSQL's source is named after its major version (postgresql-15 in Debian 12), so
# naming libpq-dev here keeps working when Debian moves to the next one.
declare -gA corvane_deps_binary=([libpq]=libpq-dev)

# corvane_private_apt DIR: prepares DIR as an apt folder of deb-src entries and fetches its lists.
corvane_private_apt() {
    local apt=$1
    mkdir -p "$apt/parts" "$apt/lists/partial" "$apt/cache/archives/partial"
    : >"$apt/sources.list"
    local main parts
    main=$(apt-config shell X Dir::Etc::sourcelist/f | sed -E "s/^X='(.*)'$/\1/")
    parts=$(apt-config shell X Dir::Etc::sourceparts/d | sed -E "s/^X='(.*)'$/\1/")
    if [ -f "$main" ]; then
        sed -nE 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$main" >>"$apt/sources.list"
    fi
    rm -f "$apt/parts/"*
    local f
    for f in "$parts"/*.list; do
        [ -f "$f" ] && sed -nE 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >"$apt/parts/$(basename "$f")"
    done
    for f in "$parts"/*.sources; do
        [ -f "$f" ] && sed -E 's/^Types:.*/Types: deb-src/' "$f" >"$apt/parts/$(basename "$f")"
    done
    corvane_apt "$apt" update >"$apt/update.log" 2>&1 || {
        cat "$apt/update.log" >&2
        return 1
    }
}

# corvane_apt DIR ARGS...: apt-get on the private folder DIR.
corvane_apt() {
    local apt=$1
    shift
    apt-get -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts="$apt/parts" \
        -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -o APT::Sandbox::User=root "$@"
}

# corvane_apt_cache DIR ARGS...: apt-cache on the private folder DIR.
corvane_apt_cache() {
    local apt=$1
    shift
    apt-cache -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts="$apt/parts" \
        -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" "$@"
}

# corvane_deps_source APT LIBRARY: prints the name of the source package LIBRARY is built from; for
# one named in corvane_deps_binary, the source of the newest version of that binary package.
corvane_deps_source() {
    local apt=$1 library=$2 binary=${corvane_deps_binary[$2]:-} package
    [ -n "$binary" ] || {
        echo "$library"
        return 0
    }
    package=$(corvane_apt_cache "$apt" showsrc "$binary" | awk '/^Package: /{p=$2} /^Version: /{print $2, p}' |
        sort -r -V | sed -n '1s/.* //p')
    [ -n "$package" ] || {
        echo "windows_deps: no source package builds $binary (for $library)" >&2
        return 1
    }
    echo "$package"
}

# corvane_fetch_source APT PACKAGE INTO: unpacks PACKAGE's newest source that can be downloaded
# into INTO/<package>-<version> and prints that folder. A mirror may lack the newest upload, so the
# older versions the lists name are tried in turn.
corvane_fetch_source() {
    local apt=$1 package=$2 into=$3 version
    mkdir -p "$into"
    for version in $(corvane_apt_cache "$apt" showsrc "$package" | sed -n 's/^Version: //p' | sort -u -r -V); do
        local work="$into/$package-$version"
        rm -rf "$work"
        mkdir -p "$work"
        if (cd "$work" && corvane_apt "$apt" source "$package=$version" >fetch.log 2>&1); then
            local tree
            tree=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
            [ -n "$tree" ] && echo "$tree" && return 0
        fi
        # A mirror may hold a version's upstream tarball but not its Debian part: the tarball alone
        # is then unpacked (the program needs none of Debian's packaging).
        local orig
        orig=$(find "$work" -maxdepth 1 -name "*.orig.tar.*" | head -n 1)
        if [ -n "$orig" ] && (cd "$work" && tar xf "$(basename "$orig")"); then
            local tree
            tree=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
            if [ -n "$tree" ]; then
                echo "windows_deps: $package $version: Debian's part is missing; building its upstream tarball" >&2
                echo "$tree" && return 0
            fi
        fi
        echo "windows_deps: $package $version could not be fetched; trying an older version" >&2
    done
    echo "windows_deps: no source of $package could be fetched" >&2
    return 1
}

# corvane_build_sqlite3 TREE PREFIX: the amalgamation (made by the tree's own tools, natively), compiled
# for Windows into PREFIX/lib/libsqlite3.a with the features Debian's own library has.
corvane_build_sqlite3() {
    local tree=$1 prefix=$2 host="$1/corvane-host"
    mkdir -p "$host" "$prefix/include" "$prefix/lib"
    (cd "$host" && ../configure --disable-tcl >configure.log 2>&1 && make sqlite3.c >make.log 2>&1) || {
        tail -n 30 "$host"/*.log >&2
        return 1
    }
    local flags=(-O2 -fno-strict-aliasing -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_COLUMN_METADATA
        -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS -DSQLITE_ENABLE_RTREE=1 -DSQLITE_SOUNDEX=1
        -DSQLITE_ENABLE_UNLOCK_NOTIFY -DSQLITE_ENABLE_DBSTAT_VTAB -DSQLITE_ENABLE_JSON1
        -DSQLITE_LIKE_DOESNT_MATCH_BLOBS -DSQLITE_THREADSAFE=1 -DSQLITE_USE_URI=1 -DSQLITE_MAX_SCHEMA_RETRY=25
        -DSQLITE_ENABLE_STMTVTAB -DSQLITE_OMIT_LOAD_EXTENSION)
    x86_64-w64-mingw32-gcc-posix "${flags[@]}" -c "$host/sqlite3.c" -o "$host/sqlite3.o" &&
        x86_64-w64-mingw32-ar rcs "$prefix/lib/libsqlite3.a" "$host/sqlite3.o" &&
        cp "$host/sqlite3.h" "$host/sqlite3ext.h" "$prefix/include/"
}

# corvane_cmake_dep TREE PREFIX [options...]: a CMake project configured for Windows, static, to be
# installed into PREFIX; corvane_cmake_install then builds and installs it.
corvane_cmake_dep() {
    local tree=$1 prefix=$2
    shift 2
    cmake -S "$tree" -B "$tree/corvane-build" -DCMAKE_TOOLCHAIN_FILE="$corvane_root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
        -DCMAKE_CROSSCOMPILING_EMULATOR= "$@" >"$tree/corvane-cmake.log" 2>&1 || {
        tail -n 30 "$tree/corvane-cmake.log" >&2
        return 1
    }
}
corvane_cmake_install() {
    local tree=$1
    cmake --build "$tree/corvane-build" -j "$(nproc)" >"$tree/corvane-make.log" 2>&1 &&
        cmake --install "$tree/corvane-build" >"$tree/corvane-install.log" 2>&1 || {
        tail -n 30 "$tree"/corvane-*.log >&2
        return 1
    }
}

# expat's CMake files write XML_DTD as an empty definition where its sources (since a security fix
# Debian carries) test "XML_DTD == 1"; it is given the value its autotools build gives it.
corvane_build_expat() {
    corvane_cmake_dep "$1/expat" "$2" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
        -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF || return 1
    sed -i 's/^#define XML_DTD$/#define XML_DTD 1/' "$1/expat/corvane-build/expat_config.h"
    corvane_cmake_install "$1/expat"
}

corvane_build_libzip() {
    corvane_cmake_dep "$1" "$2" -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
        -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DBUILD_TOOLS=OFF \
        -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF && corvane_cmake_install "$1"
}

# libharu without its PNG support (the program embeds no pictures) and without its examples; zlib
# compresses the streams.
corvane_build_libharu() {
    corvane_cmake_dep "$1" "$2" -DLIBHPDF_SHARED=OFF -DLIBHPDF_STATIC=ON -DLIBHPDF_EXAMPLES=OFF \
        -DCMAKE_DISABLE_FIND_PACKAGE_PNG=ON && corvane_cmake_install "$1"
}

# libpq, PostgreSQL's client library. Only what it needs is built: its own objects and the frontend
# ("shlib") flavours of PostgreSQL's portability and common libraries, not the server.
# Upstream's libpq.a on Windows is the import library of libpq.dll, so the static library is made here:
# libpq's objects are linked into one relocatable object together with the members of libpgcommon and
# libpgport they use, and every symbol except what the DLL exports (exports.txt) is made local. That
# keeps libpq's own little pthread emulation (pthread_mutex_lock, pthread_self...) and libpgport's
# replacements (strlcpy, getopt, inet_aton...) from clashing with winpthreads and the C runtime in the
# program's -static link.
# There is no MinGW build of OpenSSL in Debian, so this libpq has no TLS: on Windows only unencrypted
# connections work (sslmode=disable, allow or prefer; require and stricter fail). GSSAPI and LDAP
# lookups are left out too; libpq uses neither readline, ICU nor zlib.
# A program links PREFIX/lib/libpq.a and then -lsecur32 -lws2_32 -lshell32 -ladvapi32.
corvane_build_libpq() {
    local tree=$1 prefix=$2 build="$1/corvane-build" jobs objects=()
    jobs=$(nproc)
    mkdir -p "$build" "$prefix/include" "$prefix/lib"
    (cd "$build" && ../configure --host=x86_64-w64-mingw32 CC=x86_64-w64-mingw32-gcc-posix --without-readline \
        --without-icu --without-zlib --without-gssapi --without-ldap --disable-nls >configure.log 2>&1) || {
        tail -n 30 "$build/configure.log" >&2
        return 1
    }
    # libpq's object list as its Makefile makes it for this configuration, less the version resource.
    # shellcheck disable=SC2016 # the $(...) are make's
    read -ra objects < <(make --no-print-directory -s -C "$build/src/interfaces/libpq" -f Makefile -f - \
        corvane-objects <<<'corvane-objects: ; @echo $(filter-out $(WIN32RES),$(OBJS))')
    [ ${#objects[@]} -gt 0 ] || {
        echo "windows_deps: libpq's object list could not be read" >&2
        return 1
    }
    # The generated headers first: the three directories' own makes build them only as part of "all".
    (cd "$build" && make -C src/backend generated-headers >make.log 2>&1 &&
        make -C src/port -j "$jobs" libpgport_shlib.a >>make.log 2>&1 &&
        make -C src/common -j "$jobs" libpgcommon_shlib.a >>make.log 2>&1 &&
        make -C src/interfaces/libpq -j "$jobs" "${objects[@]}" >>make.log 2>&1) || {
        tail -n 30 "$build/make.log" >&2
        return 1
    }
    local lib="$build/src/interfaces/libpq"
    sed -e '/^#/d' -e 's/[[:space:]].*//' -e '/^$/d' "$tree/src/interfaces/libpq/exports.txt" >"$build/exports.list"
    (cd "$lib" && x86_64-w64-mingw32-ld -r -o "$build/libpq-static.o" "${objects[@]}" -L"$build/src/common" \
        -L"$build/src/port" --start-group -lpgcommon_shlib -lpgport_shlib --end-group) &&
        x86_64-w64-mingw32-objcopy --keep-global-symbols="$build/exports.list" "$build/libpq-static.o" &&
        rm -f "$prefix/lib/libpq.a" &&
        x86_64-w64-mingw32-ar rcs "$prefix/lib/libpq.a" "$build/libpq-static.o" &&
        cp "$tree/src/interfaces/libpq/libpq-fe.h" "$tree/src/interfaces/libpq/libpq-events.h" \
            "$tree/src/include/postgres_ext.h" "$build/src/include/pg_config_ext.h" "$prefix/include/"
}

# corvane_windows_deps DEPS: makes sure DEPS/prefix holds every library, building those whose stamp is
# missing. The lists are fetched only when something is to be built.
corvane_windows_deps() {
    local deps=$1 library missing=()
    for library in "${corvane_deps_libraries[@]}"; do
        [ -f "$deps/stamps/$library" ] || missing+=("$library")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Building for Windows from Debian's sources: ${missing[*]}"
    corvane_private_apt "$deps/apt" || return 1
    mkdir -p "$deps/stamps" "$deps/prefix"
    for library in "${missing[@]}"; do
        local package tree
        package=$(corvane_deps_source "$deps/apt" "$library") || return 1
        tree=$(corvane_fetch_source "$deps/apt" "$package" "$deps/src") || return 1
        "corvane_build_$library" "$tree" "$deps/prefix" || {
            echo "windows_deps: building $library failed" >&2
            return 1
        }
        basename "$(dirname "$tree")" >"$deps/stamps/$library"
    done
}
