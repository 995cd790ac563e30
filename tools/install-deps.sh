#!/usr/bin/env bash
# Installs the Debian packages the project needs; quiet and quick when all are present.
set -euo pipefail
packages=(
  g++ cmake ninja-build make
  libgtest-dev libgmock-dev
  lua5.4 python3 time
  pcscd libpcsclite-dev vsmartcard-vpcd libssl-dev pcsc-tools
  libffi-dev pkg-config
  qt6-base-dev qt6-qpa-plugins libqscintilla2-qt6-dev fonts-dejavu-core xvfb xauth
  libsystemd-dev libexpat1-dev pkgconf dbus-daemon
  dpkg-dev file lintian desktop-file-utils shared-mime-info libxml2-utils man-db
  clang-14 libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
