#!/usr/bin/env bash
# Sets up, builds, runs and tests Quorvel on Debian 12.
#   ./quorvel.sh run     install what is missing, build, start the window
#   ./quorvel.sh test    install what is missing, build, run every test
#   ./quorvel.sh bench   install what is missing, build optimised, run the benchmarks
#   ./quorvel.sh build   install what is missing and build
# Environment: BUILD_DIR (default ./build), QUORVEL_SANITIZE=1 for an ASan/UBSan build.
set -euo pipefail
cd "$(dirname "$0")"
top=$(pwd)

packages_build=(g++ make cmake ninja-build pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
                fonts-wqy-microhei)
packages_test=(xvfb xauth util-linux)
packages_bench=(libbenchmark-dev fd-find hyperfine findutils time)

missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'install ok installed' || printf '%s\n' "$p"
  done
}

install_packages() {
  local missing
  missing=$(missing_packages "$@" | tr '\n' ' ')
  [ -z "${missing// /}" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "quorvel.sh: these packages are missing; install them as root, then run again:" >&2
    echo "  apt-get update && apt-get install -y --no-install-recommends $missing" >&2
    exit 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $missing
}

# build DIR TYPE [CMAKE_OPTION...] [-- TARGET...]
build() {
  local dir=$1 type=$2; shift 2
  local options=() targets=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do options+=("$1"); shift; done
  [ $# -gt 0 ] && shift && targets=("$@")
  cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${options[@]}" >/dev/null
  if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"
  else
    cmake --build "$dir" -j "$(nproc)"
  fi
}

build_dir=${BUILD_DIR:-$top/build}
sanitize=OFF
[ "${QUORVEL_SANITIZE:-0}" = 1 ] && sanitize=ON && build_dir=${BUILD_DIR:-$top/build-sanitize}

case "${1:-}" in
  run)
    install_packages "${packages_build[@]}"
    build "$build_dir" RelWithDebInfo -DQUORVEL_BENCH=OFF -- quorvel quorvel-find
    shift
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      install_packages xvfb xauth
      echo "No display found: starting Quorvel on a virtual X server (xvfb-run)."
      exec xvfb-run -a "$build_dir/bin/quorvel" "$@"
    fi
    exec "$build_dir/bin/quorvel" "$@"
    ;;
  test)
    install_packages "${packages_build[@]}" "${packages_test[@]}"
    build "$build_dir" RelWithDebInfo -DQUORVEL_BENCH=OFF -DQUORVEL_SANITIZE="$sanitize"
    cd "$build_dir"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 600
    ;;
  bench)
    install_packages "${packages_build[@]}" "${packages_bench[@]}"
    build "${BUILD_DIR:-$top/build-release}" Release -DQUORVEL_BENCH=ON
    shift
    for script in "$top"/bench/*/run.sh; do
      [ -x "$script" ] || continue
      echo "== $(basename "$(dirname "$script")")"
      "$script" "${BUILD_DIR:-$top/build-release}" "$@"
    done
    ;;
  build)
    install_packages "${packages_build[@]}"
    build "$build_dir" RelWithDebInfo -DQUORVEL_SANITIZE="$sanitize"
    ;;
  *)
    sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
