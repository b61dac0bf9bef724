#!/usr/bin/env bash
# Writes the packages (CPack, cmake/QorPackaging.cmake):
#   build/default/qorcommonlib_<version>_<arch>.deb   from the native build
#   build/win64/QorCommonLib-<version>-win64.zip      from the MinGW builds
#   build/win32/QorCommonLib-<version>-win32.zip
# Builds what is not built yet; installs the packaging tools when missing
# (as root). Usage: scripts/package.sh            (JOBS=n to set the parallelism)
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-$(nproc)}
scripts/setup.sh dpkg-dev file g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix

# shellcheck source=scripts/quietly.sh
. scripts/quietly.sh

quietly cmake --preset default
quietly cmake --build build/default -j "$jobs"
(cd build/default && quietly cpack -G DEB)
for preset in win64 win32; do
  quietly cmake --preset "$preset"
  quietly cmake --build --preset "$preset" -j "$jobs" --target QorCommonLib qorreg
  (cd "build/$preset" && quietly cpack -G ZIP)
done
ls -l build/default/*.deb build/win64/*.zip build/win32/*.zip
