# Installs the Debian packages named as arguments that are not installed yet.
# Sourced by the scripts beside it; safe to run again.
drelvan_install() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}" >&2
    "${sudo[@]}" apt-get update -qq
    # sudo resets the environment, so the setting goes on its command line.
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building and running the quiz needs.
# qt6-translations-l10n: Qt's own texts (context menu, message box buttons)
# in the desktop's language, which the program loads at run time.
DRELVAN_BUILD_PACKAGES=(build-essential cmake qt6-base-dev qt6-translations-l10n doctest-dev libpugixml-dev fonts-liberation fonts-liberation2 fonts-dejavu-core)

# What the test suite needs on top: a real X server for the screenshot and
# desktop tests, and the tools that check the desktop files and the Debian
# package; the Orca screen reader with its AT-SPI and D-Bus buses, and
# xdotool to play the quiz under it.
DRELVAN_TEST_PACKAGES=(xvfb xauth desktop-file-utils appstream appstream-compose
                       dpkg-dev file lintian orca at-spi2-core dbus-daemon xdotool)

# What the Windows program needs: MinGW-w64 to build drelvan.exe (posix
# threads, for the C++ standard library's), doctest for its tests, and Wine on
# its own X server to run them, with the face that stands in for Times New
# Roman there; wixl to make the Windows Installer package and msitools
# (msiinfo, msibuild) to finish and check it.
DRELVAN_WINDOWS_PACKAGES=(cmake g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 doctest-dev wine wine64 xvfb
    fonts-liberation2 wixl msitools)

# What fuzzing the pair reader needs (scripts/fuzz): Debian's clang 14 and
# its run-time with libFuzzer and the sanitizers.
DRELVAN_FUZZ_PACKAGES=(cmake clang-14 libclang-rt-14-dev)

# What the benchmark needs on top: an X server to start the window on, and
# callgrind to count its instructions.
DRELVAN_BENCH_PACKAGES=(xvfb valgrind)

# What the web page needs: Emscripten to build the core in WebAssembly (and
# doctest for its tests under Node), librsvg2-bin, pngquant and zopfli to draw
# the app icons small, terser to minify the page's script, and Chromium, in
# which Playwright plays the page, with the face the page asks for (and DejaVu
# Sans, a wider one, for the test of the page without it); Firefox, and
# WebKitGTK's WebDriver, which brings its MiniBrowser (libwebkit2gtk), on an X
# server of its own, for the checks every engine must pass. Node and npm come
# with Emscripten where there is no Node yet; a Node already installed (e.g.
# from NodeSource) is kept: Debian's npm would conflict with it.
DRELVAN_WEB_PACKAGES=(cmake emscripten doctest-dev librsvg2-bin pngquant zopfli terser chromium fonts-liberation2 fonts-dejavu-core
    firefox-esr webkit2gtk-driver xvfb)

drelvan_install_web() {
    local packages=("${DRELVAN_WEB_PACKAGES[@]}")
    command -v node >/dev/null || packages+=(nodejs)
    command -v npm >/dev/null || packages+=(npm)
    drelvan_install "${packages[@]}"
}

# The web tests' npm packages, as pinned in tests/web/package-lock.json; the
# browsers are Debian's, so neither Playwright nor Puppeteer downloads one.
drelvan_install_web_tests() {
    local dir
    dir="$(dirname "${BASH_SOURCE[0]}")/../tests/web"
    if [ ! -d "$dir/node_modules/@playwright/test" ] || [ "$dir/package-lock.json" -nt "$dir/node_modules/.package-lock.json" ]; then
        (cd "$dir" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund)
    fi
}

# The Windows, web and fuzzing builds compile pugixml from Debian's source
# package with their own compiler. It is fetched into .deps/ in the tree,
# through a source list of its own: the machine's apt sources stay as they
# are. Safe to run again; prints nothing once the source is there.
DRELVAN_PUGIXML_VERSION=1.13
drelvan_fetch_pugixml() {
    local root dir
    root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/.deps"
    dir="$root/pugixml-$DRELVAN_PUGIXML_VERSION"
    [ -f "$dir/src/pugixml.cpp" ] && return 0
    local apt="$root/apt"
    mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$root/source"
    cat >"$apt/sources.list" <<SOURCES
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main
SOURCES
    local options=(-o "Dir::Etc::sourcelist=$apt/sources.list" -o Dir::Etc::sourceparts=-
                   -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt" -o APT::Sandbox::User=root)
    apt-get "${options[@]}" update -qq
    (cd "$root/source" && apt-get "${options[@]}" source --download-only -qq pugixml)
    local tarball
    tarball=$(ls "$root/source"/pugixml_"$DRELVAN_PUGIXML_VERSION".orig.tar.* 2>/dev/null | head -n1)
    [ -n "$tarball" ] || { echo "pugixml $DRELVAN_PUGIXML_VERSION: no source tarball in $root/source" >&2; return 1; }
    rm -rf "$dir.tmp" && mkdir -p "$dir.tmp"
    tar -xf "$tarball" -C "$dir.tmp" --strip-components=1
    mv "$dir.tmp" "$dir"
}
