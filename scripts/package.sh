#!/usr/bin/env bash
# Builds the Debian package build-package/cttax_<version>_<arch>.deb from a
# release build of its own for the prefix /usr (build-package/build, without
# the tests), and checks it with lintian and the desktop validators.
# Install it with: apt install ./build-package/cttax_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh dpkg-dev fakeroot lintian desktop-file-utils appstream librsvg2-bin
build=build-package/build
cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF >/dev/null
cmake --build $build -j"$(nproc)" --target cttax cttax-calc cttax_desktop_files
(cd $build && cpack -G DEB -B "$PWD/.." >/dev/null)
rm -rf build-package/_CPack_Packages
deb=$(ls -t build-package/cttax_*.deb | head -n 1)
echo "built $deb"
dpkg-deb --info "$deb" | sed -n 's/^ \(Depends\|Package\|Version\|Architecture\):/\1:/p'
desktop-file-validate $build/packaging/org.example.cttax.desktop && echo "desktop-file-validate: no problems"
appstreamcli validate --no-net --pedantic $build/packaging/org.example.cttax.metainfo.xml
lintian --fail-on error "$deb" && echo "lintian: no errors"
