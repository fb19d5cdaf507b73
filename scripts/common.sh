# Shared by the scripts: paths and the build steps.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

# Whether this machine can execute 32-bit x86 programs (and so 32-bit Wine).
# Some virtual machines have no 32-bit mode; Wine then runs the 64-bit build.
can_run_32bit() {
    [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# configure_tree DIR [cmake args...]
configure_tree() {
    local dir=$1; shift
    if [ ! -f "$top/$dir/build.ninja" ]; then
        cmake -S "$top" -B "$top/$dir" -G Ninja "$@" >/dev/null
    fi
}

build_tree() {
    cmake --build "$top/$1" -j "$jobs" >"$top/$1/build.log" 2>&1 || { cat "$top/$1/build.log"; return 1; }
}

build_native() {
    configure_tree build/native && build_tree build/native
}

# The 32-bit tree is the program users get: a Release build, with warnings as
# errors and its debug information kept for crash reports (scripts/dist ships
# it stripped).
build_windows() {
    configure_tree build/win32 -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" &&
        cmake "$top/build/win32" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-g -DQUIREBOOK_WERROR=ON >/dev/null &&
        build_tree build/win32
}

# The tree whose Windows programs Wine runs here: the 32-bit one where this
# machine can execute it, otherwise the 64-bit build of the same sources.
wine_tree() {
    if can_run_32bit; then echo build/win32; else echo build/win64; fi
}

build_wine_tree() {
    local tree
    tree=$(wine_tree)
    [ "$tree" = build/win32 ] && return 0
    configure_tree build/win64 -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-x86_64.cmake" && build_tree build/win64
}

# The program's version, as the build has it.
version=$(sed -n 's/^project(Quirebook VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")

# stage_package TREE: what ships, in TREE/package: the program stripped of its
# debug information, which stays beside the built one as Quirebook.exe.debug,
# and the side files.
stage_package() {
    local tree=$top/$1 objcopy=i686-w64-mingw32-objcopy
    [ "$1" = build/win64 ] && objcopy=x86_64-w64-mingw32-objcopy
    mkdir -p "$tree/package"
    "$objcopy" --only-keep-debug "$tree/Quirebook.exe" "$tree/Quirebook.exe.debug" &&
        "$objcopy" --strip-all --add-gnu-debuglink="$tree/Quirebook.exe.debug" \
            "$tree/Quirebook.exe" "$tree/package/Quirebook.exe" &&
        cp "$tree/ReadMe.htm" "$tree/QuireAuto.txt" "$tree/package/"
}

# make_installer TREE SETUP: the installer around TREE's staged package, made
# with NSIS; a 64-bit one for build/win64.
make_installer() {
    local x64=()
    [ "$1" = build/win64 ] && x64=(-DX64)
    stage_package "$1" || return 1
    makensis -V2 -DVERSION="$version" -DFILES="$top/$1/package" \
        -DICON="$top/$1/resources/bookshelf.ico" -DOUTFILE="$2" "${x64[@]}" \
        "$top/resources/quirebook.nsi" >"$top/$1/nsis.log" 2>&1 || { cat "$top/$1/nsis.log"; return 1; }
}
