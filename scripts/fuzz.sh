#!/usr/bin/env bash
# Fuzzes the archive reader that the installer and the packer share, for a
# bounded time (FUZZ_SECONDS, default 60), with clang's libFuzzer and the
# address and undefined-behaviour sanitizers. The corpus is kept in
# build/fuzz/corpus between runs; a finding is saved in build/fuzz/ and fails.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/fuzz
mkdir -p "$out/corpus"
sources=(payload/archive_format.cpp tools/qvpack/windows_names.cpp tools/qvpack/inspect.cpp
         tests/host/archive_fuzz.cpp)
clang++ -std=c++17 -O1 -g -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  "${sources[@]}" -o "$out/archive_fuzz"

# Seeds: an archive packed from a small tree, and a few hand-made shapes.
seed_tree=$(mktemp -d)
trap 'rm -rf "$seed_tree"' EXIT
mkdir -p "$seed_tree/Bin/sub" "$seed_tree/Lib" "$seed_tree/Beispiele/a/b"
printf '[qv]\n' >"$seed_tree/Bin/qv.ini"
printf 'prb' >"$seed_tree/Bin/pspice.prb"
printf 'x' >"$seed_tree/Bin/sub/amp.sch"
: >"$seed_tree/Beispiele/a/b/e.m"
build/host/tools/qvpack/qvpack pack "$seed_tree" "$out/corpus/seed-packed"
printf 'B>a.txt\0\3\0\0\0xyzFsub\0>b.txt\0\0\0\0\0R\0' >"$out/corpus/seed-example"
printf 'LFx\0B\0' >"$out/corpus/seed-out-of-order"
printf '\0' >"$out/corpus/seed-empty"

status=0
"$out/archive_fuzz" -max_total_time="${FUZZ_SECONDS:-60}" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$out/" "$out/corpus" >"$out/fuzz.log" 2>&1 || status=$?
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb|SUMMARY|artifact_prefix|==[0-9]+==ERROR)' \
  "$out/fuzz.log" || true
if [ "$status" -ne 0 ]; then
  echo "fuzz: the fuzzer found a fault (exit $status); see $out/fuzz.log and $out/crash-*" >&2
  exit 1
fi
echo "fuzz: no findings ($(ls "$out/corpus" | wc -l) inputs in the corpus)"
