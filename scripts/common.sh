# Shared by run.sh and test.sh: the Debian packages Kalvane needs and a way to
# install the missing ones.

KALVANE_PACKAGES=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
    libjpeg62-turbo-dev libpng-dev libdeflate-dev libqrencode-dev libarchive-dev libfontconfig-dev libbenchmark-dev
    fonts-liberation fonts-dejavu-core adwaita-icon-theme
    cups cups-client cups-bsd printer-driver-cups-pdf
    xvfb xauth imagemagick poppler-utils zbar-tools
    shared-mime-info desktop-file-utils
    glabels-data
)

# Runs a command as root: directly when we are root, through sudo otherwise.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "kalvane: il faut être administrateur (root) pour : $*" >&2
        return 1
    fi
}

install_missing_packages() {
    local missing=()
    local p
    for p in "${KALVANE_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "kalvane: installation des paquets manquants : ${missing[*]}"
    as_root apt-get update -qq
    # Installing cups must not leave a half-configured system when no init runs (containers, CI).
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures and builds into $1 with the extra CMake arguments that follow.
build_kalvane() {
    local dir=$1
    shift
    cmake -S "$KALVANE_ROOT" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

KALVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
