#!/usr/bin/env bash
# Short fuzzing run of every fuzz target, one after another. Builds nothing.
#
#   fuzz/run_smoke.sh BUILD_DIR [SECONDS]
#
# BUILD_DIR is a build configured with -DGANTRY_FUZZ=ON whose fuzz targets are built; SECONDS is
# the time per target (default 35; ./test.sh gives each target 15 in CI). Seeds are the
# saved regression inputs of each target plus, when present, the shared HOD corpus beside the
# repository; all are copied to a temporary folder so the fuzzer's additions never land in the
# tree. Exits non-zero when a target crashes, times out or runs out of memory, and keeps the
# failing input (the path is printed).
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
  echo "usage: $0 BUILD_DIR [SECONDS]" >&2
  exit 2
fi
build_dir=$(cd "$1" && pwd)
seconds=${2:-35}
if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds < 1)); then
  echo "SECONDS must be a positive whole number, not '$seconds'" >&2
  exit 2
fi

fuzz_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo_dir=$(dirname "$fuzz_dir")
shared_corpus="$repo_dir/../shared/corpus/hod"
dict="$fuzz_dir/hod.dict"

work=$(mktemp -d "${TMPDIR:-/tmp}/gantry-fuzz-smoke.XXXXXX")
keep_work=0
cleanup() {
  if ((keep_work == 0)); then rm -rf "$work"; fi
}
trap cleanup EXIT

# Copies regular files only, made writable so the temporary folder can always be removed.
copy_seeds() {
  local from=$1 to=$2
  [[ -d $from ]] || return 0
  find "$from" -type f -exec cp -t "$to" {} +
  chmod -R u+w "$to"
}

shopt -s nullglob
sources=("$fuzz_dir"/fuzz_*.cpp)
if ((${#sources[@]} == 0)); then
  echo "no fuzz targets found in $fuzz_dir" >&2
  exit 2
fi

failed=()
for source in "${sources[@]}"; do
  target=$(basename "$source" .cpp)
  binary="$build_dir/fuzz/$target"
  if [[ ! -x $binary ]]; then
    echo "$binary is missing: build it first (cmake -DGANTRY_FUZZ=ON, target $target)" >&2
    failed+=("$target (not built)")
    continue
  fi

  corpus="$work/$target/corpus"
  artifacts="$work/$target/artifacts"
  mkdir -p "$corpus" "$artifacts"
  copy_seeds "$fuzz_dir/regressions/${target#fuzz_}" "$corpus"
  copy_seeds "$shared_corpus" "$corpus"
  seeds=$(find "$corpus" -type f | wc -l)

  dict_args=()
  [[ -f $dict ]] && dict_args=("-dict=$dict")

  echo "== $target: ${seconds}s, $seeds seed(s)"
  status=0
  "$binary" "$corpus" "${dict_args[@]}" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -max_len=65536 -timeout=10 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    >"$work/$target/log" 2>&1 || status=$?
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done )' "$work/$target/log" || true
  if ((status != 0)); then
    keep_work=1
    echo "!! $target failed with status $status; last lines of its log:" >&2
    tail -n 40 "$work/$target/log" >&2
    echo "!! failing input(s) and full log kept in $work/$target" >&2
    failed+=("$target")
  fi
done

if ((${#failed[@]} > 0)); then
  echo "fuzz smoke run failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz smoke run passed"
