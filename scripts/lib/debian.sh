# SPDX-License-Identifier: MIT
# The Debian packages of a build configured for /usr, checked as a user gets them (scripts/test).
# shellcheck shell=bash

# check_deb PACKAGE_FILE PATTERN...: each PATTERN (an extended regular expression) matches a line of the
# package's Depends, or else a file it holds (a path below /, without the leading "./"), on a line of its own.
check_deb() {
  local deb="$1" depends files pattern
  shift
  depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//')
  files=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./||')
  for pattern in "$@"; do
    if ! grep -Eqx -- "$pattern" <<<"$depends" && ! grep -Eqx -- "$pattern" <<<"$files"; then
      echo "debian: $(basename "$deb") has no dependency or file matching $pattern" >&2
      echo "Depends: $(dpkg-deb -f "$deb" Depends)" >&2
      return 1
    fi
  done
}

# debian_packages BUILD_DIR WORK_DIR: cpack -G DEB from the build (no build of its own), the packages'
# dependencies and files checked, then the packages extracted into a root of their own (not installed): the
# package test's consumers build against it with CMake and with pkg-config, and the extracted glimmer runs.
debian_packages() {
  local build="$1" work="$2"
  rm -rf "$work"
  mkdir -p "$work"
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/debs" >"$work/cpack.log" ||
    { cat "$work/cpack.log" >&2; return 1; }
  local version arch multiarch plugins qml runtime
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  arch=$(dpkg --print-architecture)
  multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
  plugins=$(qtpaths6 -query QT_INSTALL_PLUGINS | sed 's|^/||')
  qml=$(qtpaths6 -query QT_INSTALL_QML | sed 's|^/||')
  runtime="libglimmer${version%.*}"
  local exact="${runtime} \(= ${version//./\\.}\)"
  deb() { echo "$work/debs/$1_${version}_${arch}.deb"; }
  local doc=usr/share/doc
  check_deb "$(deb "$runtime")" "libqt6widgets6.*" "libqt6quick6.*" "libc6.*" \
    "usr/lib/$multiarch/libglimmer_qt\.so\.${version//./\\.}" "usr/lib/$multiarch/libglimmer_control\.so\.[0-9.]+" \
    "$doc/$runtime/copyright"
  # Runtime packages of two versions install side by side: this one has no file in a folder of another's.
  if dpkg-deb -c "$(deb "$runtime")" | awk '{ print $6 }' | grep -E '^\./usr/share/doc/.' |
    grep -Ev "^\./usr/share/doc/$runtime/"; then
    echo "debian: $runtime holds the files above, outside its own folder of documentation" >&2
    return 1
  fi
  check_deb "$(deb libglimmer-dev)" "$exact" "qt6-base-dev" "usr/include/glimmer/qt/led_sign\.h" \
    "usr/include/glimmer/version\.h" "usr/lib/$multiarch/cmake/Glimmer/GlimmerConfig\.cmake" \
    "usr/lib/$multiarch/pkgconfig/glimmer-qt\.pc" "usr/lib/$multiarch/libglimmer_qt\.so" "$doc/libglimmer-dev/copyright"
  check_deb "$(deb glimmer-designer-plugin)" "$exact" "libqt6designer6.*" \
    "$plugins/designer/libglimmer_designer\.so" "$doc/glimmer-designer-plugin/copyright"
  check_deb "$(deb qml6-module-glimmer)" "$exact" "qml6-module-qtquick" "libqt6qml6.*" "$qml/Glimmer/qmldir" \
    "$qml/Glimmer/libglimmer_quick_plugin\.so" "$doc/qml6-module-glimmer/copyright"
  check_deb "$(deb glimmer)" "$exact" "libgif7.*" "usr/bin/glimmer" "$doc/glimmer/copyright"
  check_deb "$(deb python3-glimmer)" "$exact" "python3-pyqt6" "usr/lib/python3/dist-packages/glimmer/__init__\.py" \
    "$doc/python3-glimmer/copyright"
  # Nothing unpackaged: the six packages are all cpack wrote.
  [ "$(find "$work/debs" -maxdepth 1 -name '*.deb' | wc -l)" -eq 6 ] ||
    { echo "debian: cpack wrote other packages:" >&2; ls "$work/debs" >&2; return 1; }

  local root="$work/root"
  for package in "$work"/debs/*.deb; do
    dpkg-deb -x "$package" "$root"
  done
  local libs="$root/usr/lib/$multiarch" consumer="$work/consumer"
  cmake -S "$ROOT/tests/package/consumer" -B "$consumer" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_PREFIX_PATH="$root/usr" -DEXPECT_QUICK=ON >/dev/null
  cmake --build "$consumer" >/dev/null
  "$consumer/control_consumer"
  QT_QPA_PLATFORM=offscreen "$consumer/sign_consumer"
  QT_QPA_PLATFORM=offscreen "$consumer/quick_consumer"
  # shellcheck disable=SC2046 # pkg-config's words are the compiler's arguments
  g++ -std=c++17 -o "$consumer/pkg-config-sign_consumer" "$ROOT/tests/package/consumer/sign_consumer.cpp" \
    -DGLIMMER_PACKAGE_VERSION="\"$version\"" $(PKG_CONFIG_PATH="$libs/pkgconfig" pkg-config --cflags --libs glimmer-qt)
  LD_LIBRARY_PATH="$libs" QT_QPA_PLATFORM=offscreen "$consumer/pkg-config-sign_consumer"
  local said
  said=$(LD_LIBRARY_PATH="$libs" "$root/usr/bin/glimmer" --version)
  grep -q "$version" <<<"$said" || { echo "debian: glimmer --version said: $said" >&2; return 1; }
  echo "debian: $(cd "$work/debs" && echo *.deb) checked; consumers built on the extracted root; $said"
}
