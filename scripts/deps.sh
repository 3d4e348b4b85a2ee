#!/usr/bin/env bash
# Installs the Debian packages qev needs to build, run and test, when missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev libharfbuzz-dev fonts-liberation2
  zlib1g-dev libjpeg62-turbo-dev
  libshp-dev shapelib
  unixodbc unixodbc-dev tdsodbc odbc-postgresql
  postgresql qpdf poppler-utils
  libcurl4-openssl-dev python3-aiosmtpd
  libxlsxwriter-dev libzip-dev python3-openpyxl
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
