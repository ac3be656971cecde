#!/usr/bin/env bash
# cmake --install of the build folder $1 into a fresh prefix puts every file in its place.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
missing=0
for file in bin/quillix bin/quillix-report share/applications/quillix.desktop \
            share/man/man1/quillix.1 share/man/man1/quillix-report.1 \
            share/bash-completion/completions/quillix-report \
            share/metainfo/example.brenmoor.Quillix.metainfo.xml \
            lib/systemd/user/quillix-report.service lib/systemd/user/quillix-report.timer \
            share/icons/hicolor/scalable/apps/quillix.svg \
            share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/quillix.png; do
  [ -e "$prefix/$file" ] || { echo "missing: $file"; missing=1; }
done
[ -x "$prefix/bin/quillix-report" ] && "$prefix/bin/quillix-report" --version | grep -q '^quillix-report ' \
  || { echo "quillix-report --version does not answer"; missing=1; }
grep -q '^Exec=quillix$' "$prefix/share/applications/quillix.desktop" || { echo "desktop entry"; missing=1; }
# The report's manual page says every option its --help does; the description is valid.
for option in $("$prefix/bin/quillix-report" --help | grep -o -- '--[a-z-]*' | sort -u); do
  grep -qF -- "${option//-/\\-}" "$prefix/share/man/man1/quillix-report.1" \
    || { echo "manual page lacks $option"; missing=1; }
done
bash -n "$prefix/share/bash-completion/completions/quillix-report" || { echo "completion"; missing=1; }
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/example.brenmoor.Quillix.metainfo.xml" \
    >/dev/null || { echo "AppStream description is not valid"; missing=1; }
fi

# The Debian package: the same files under /usr, and its dependencies worked out.
if command -v dpkg-deb >/dev/null && command -v dpkg-shlibdeps >/dev/null; then
  packages=$(mktemp -d)
  trap 'rm -rf "$prefix" "$packages"' EXIT
  (cd "$build" && cpack -G DEB -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip -D CPACK_STRIP_FILES=ON \
     -B "$packages" >/dev/null) || { echo "cpack failed"; missing=1; }
  deb=$(ls "$packages"/quillix_*.deb 2>/dev/null | head -n 1)
  if [ -n "$deb" ]; then
    contents=$(dpkg-deb -c "$deb")
    for file in usr/bin/quillix usr/bin/quillix-report usr/share/applications/quillix.desktop \
                usr/share/man/man1/quillix-report.1 usr/share/metainfo/example.brenmoor.Quillix.metainfo.xml \
                usr/lib/systemd/user/quillix-report.timer \
                usr/share/icons/hicolor/scalable/apps/quillix.svg \
                usr/share/icons/hicolor/48x48/apps/quillix.png; do
      grep -q "\./$file\$" <<< "$contents" || { echo "package lacks $file"; missing=1; }
    done
    depends=$(dpkg-deb -f "$deb" Depends)
    for library in libqt6widgets6 libqt6core6 libc6 shared-mime-info; do
      grep -q "$library" <<< "$depends" || { echo "package Depends lacks $library: $depends"; missing=1; }
    done
  else
    echo "no package made"; missing=1
  fi
fi
[ $missing -eq 0 ] && echo "1 passed, 0 failed"
exit $missing
