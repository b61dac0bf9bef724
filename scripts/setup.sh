#!/usr/bin/env bash
# Installs what the build needs on a fresh Debian machine, when missing.
# Usage: scripts/setup.sh [extra-package ...]
set -euo pipefail

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v g++ >/dev/null || need+=(g++)
command -v make >/dev/null || need+=(make)
# The regedit corpus test compares qorreg import with Wine's regedit by a script.
command -v python3 >/dev/null || need+=(python3)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -f /usr/include/gmock/gmock.h ] || need+=(libgmock-dev)
[ -d /usr/src/googletest ] || need+=(googletest)
# qorreg and its tests write and read JSON with it (the library does not).
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
for pkg in "$@"; do
  dpkg -s "$pkg" >/dev/null 2>&1 || need+=("$pkg")
done

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages: ${need[*]} (run as root to install them)" >&2
  exit 1
fi
echo "setup: installing ${need[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${need[@]}"
