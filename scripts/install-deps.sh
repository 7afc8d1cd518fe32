#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those missing.
# Quiet when everything is there.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  libsqlite3-dev nlohmann-json3-dev libcsv-dev
  googletest libgtest-dev libbenchmark-dev
  qt6-base-dev fonts-noto-cjk
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: run as root or install sudo" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
