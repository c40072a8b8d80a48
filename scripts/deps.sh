# Debian packages the build, the tests and the window program need.
VESK_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev qt6-base-dev libgl-dev fonts-dejavu-core qt6-translations-l10n
  zlib1g-dev libqscintilla2-qt6-dev)

install_missing_packages() {
  local missing=()
  local pkg
  for pkg in "${VESK_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}
