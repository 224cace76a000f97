# Shared by scripts/demo, scripts/test and scripts/mutants (sourced, not run): moves to the
# repository root, installs missing Debian packages and configures CMake build directories.

PELLVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$PELLVANE_ROOT"

# What every build needs besides Qt. Fonts: the form asks for "Arial", which fontconfig maps
# to Liberation Sans (same metrics), so the texts fit their boxes. libudev: the device
# monitor; rsvg-convert: the icon's PNG sizes.
PELLVANE_BUILD_PACKAGES=(cmake g++ make pkg-config libudev-dev librsvg2-bin fontconfig
    fonts-liberation)

# Qt's development packages for a major version: qt_packages 5 or qt_packages 6.
qt_packages() {
    case $1 in
    5) echo qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev ;;
    6) echo qt6-base-dev qt6-serialport-dev ;;
    *)
        echo "Qt $1: only 5 and 6 are supported" >&2
        return 1
        ;;
    esac
}

package_installed() {
    dpkg -s "$1" 2>/dev/null | grep -q '^Status: install ok installed'
}

# Installs those of the given Debian packages that are missing; apt-get update runs once.
ensure_packages() {
    local missing=() package
    for package in "$@"; do
        package_installed "$package" || missing+=("$package")
    done
    if ((${#missing[@]} == 0)); then
        return 0
    fi
    echo "Installing Debian packages: ${missing[*]}"
    local sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Configures a build directory: configure_build DIR BUILD_TYPE [extra cmake arguments...].
# ccache is used when the machine happens to have it.
configure_build() {
    local dir=$1 type=$2
    shift 2
    local launcher=()
    if command -v ccache >/dev/null; then
        export CCACHE_BASEDIR="$PELLVANE_ROOT" CCACHE_NOHASHDIR=true
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$PELLVANE_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "$@"
}

# Builds targets of a configured directory: build_targets DIR [target...] (all when none).
build_targets() {
    local dir=$1
    shift
    local targets=()
    if (($# > 0)); then
        targets=(--target "$@")
    fi
    cmake --build "$dir" -j2 "${targets[@]}"
}
