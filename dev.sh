#!/usr/bin/env bash
# ./dev.sh test  — install what is missing, build with sanitizers, run every test,
#                  and build the benchmarks (release, not run).
# ./dev.sh run   — install what is missing, build the release program folder, start it.
# ./dev.sh bench [filter] — build the benchmarks (release) and run them, each
#                  printing its table; filter is a regular expression on names.
# JOBS=n limits the parallel build and test jobs (default: every core).
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  cmake ninja-build g++ pkgconf
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libsqlite3-dev sqlite3 libjpeg62-turbo-dev libxlsxwriter-dev libzip-dev
  fonts-liberation2 xvfb xauth qpdf poppler-utils
)

install_missing() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# Parallel jobs for the build and the tests: JOBS=4 ./dev.sh test; every
# core by default.
jobs=${JOBS:-$(nproc 2>/dev/null || echo 4)}
if ! [[ "$jobs" =~ ^[1-9][0-9]*$ ]]; then
  echo "JOBS must be a positive number, not '$jobs'" >&2
  exit 2
fi

build_release() {
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DFC_TESTS=OFF -DFC_BENCH=ON >/dev/null
  cmake --build build/release -j "$jobs" "$@"
}

case "${1:-}" in
  test)
    install_missing
    cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFC_SANITIZE=ON >/dev/null
    cmake --build build/test -j "$jobs"
    (cd build/test && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure --no-tests=error -j "$jobs")
    build_release --target fc_benchmarks
    ;;
  run)
    install_missing
    build_release
    exe=build/release/program/fancoil-select
    if [ ! -x "$exe" ]; then
      echo "The program window is not built yet: only the libraries and tests exist so far." >&2
      exit 1
    fi
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      echo "No display found. Start it under a virtual one: xvfb-run -a ./dev.sh run" >&2
      exit 1
    fi
    exec "$exe"
    ;;
  bench)
    install_missing
    build_release --target fc_benchmarks
    filter=${2:-.}
    ran=0
    for b in build/release/bench/bench_*; do
      [ -x "$b" ] && [ -f "$b" ] || continue
      # Only the programs with a benchmark the filter matches.
      listed=$(QT_QPA_PLATFORM=offscreen "$b" --benchmark_list_tests=true --benchmark_filter="$filter" 2>/dev/null || true)
      [ -n "$listed" ] || continue
      ran=1
      echo "== $(basename "$b")"
      QT_QPA_PLATFORM=offscreen "$b" --benchmark_filter="$filter"
    done
    if [ "$ran" -eq 0 ]; then
      echo "No benchmark matches '$filter'." >&2
      exit 1
    fi
    ;;
  *)
    echo "usage: [JOBS=n] ./dev.sh test | run | bench [filter]" >&2
    exit 2
    ;;
esac
