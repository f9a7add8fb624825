#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# and does nothing when they are all present.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev ccache xvfb xauth libssl3 openssl
          # the check of the functions' length
          python3
          # the man page, the Debian package and the checks of the installed files
          help2man dpkg-dev file desktop-file-utils appstream
          # the word processor and PDF reader the report test reads the rich text with
          libreoffice-writer-nogui poppler-utils
          # the spreadsheet the return test checks its rates against
          libreoffice-calc-nogui
          # Qt's own texts (file dialogs, standard buttons) in Dutch
          qt6-translations-l10n)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Run as root or install sudo to install packages." >&2; exit 1; }
  sudo="sudo"
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
