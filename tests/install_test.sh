#!/usr/bin/env bash
# cmake --install of the build folder $1 into a fresh prefix puts every file in its place.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
missing=0
for file in bin/quillix bin/quillix-report share/applications/quillix.desktop \
            share/icons/hicolor/scalable/apps/quillix.svg \
            share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/quillix.png; do
  [ -e "$prefix/$file" ] || { echo "missing: $file"; missing=1; }
done
[ -x "$prefix/bin/quillix-report" ] && "$prefix/bin/quillix-report" --version | grep -q '^quillix-report ' \
  || { echo "quillix-report --version does not answer"; missing=1; }
grep -q '^Exec=quillix$' "$prefix/share/applications/quillix.desktop" || { echo "desktop entry"; missing=1; }
[ $missing -eq 0 ] && echo "1 passed, 0 failed"
exit $missing
