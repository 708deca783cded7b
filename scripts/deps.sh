# Installs what building Vilorka needs on Debian 12, once: sourced by run.sh and test.sh.
# Runs apt-get as root, or through sudo when the user is not root.
vilorka_install_deps() {
    local packages=(g++ cmake ninja-build qt6-base-dev qt6-charts-dev libqt6opengl6-dev
        libgl-dev libvulkan-dev fonts-dejavu-core qt6-translations-l10n
        libqscintilla2-qt6-dev qt6-svg-dev "$@")
    local missing=()
    local p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
