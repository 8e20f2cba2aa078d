#!/usr/bin/env bash
# Benchmark of the extraction (not a test): packs a synthetic package of the
# shipped size, then measures, as medians of BENCH_RUNS runs (default 5):
#   - the installer's check at start (SHA-256 of the archive in place) and its
#     ExtractPayload into an empty folder under Wine (the archive and its
#     checksum are the harness's own resources, as in the installer),
#   - ExtractPayload once more into the same folder, over that unchanged
#     installation (a repair: every file is kept but qv.ini and "files"),
#     and the deletion of the backups of the files it replaced,
#   - the same over a changed installation (every file of the same size,
#     its last byte changed: compared in full, then replaced),
#   - Wine's xcopy /E /I /Q of the same unpacked tree,
#   - native tar -xf of the same tree,
# all on the same file system (inside the bench prefix's drive C). Also checks
# once that the extraction gives exactly the tree plus companions and "files".
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
cd "$QV_ROOT"
runs=${BENCH_RUNS:-5}
out=$QV_ROOT/build/bench
qvpack=build/host/tools/qvpack/qvpack
rm -rf "$out/package" "$out/x" && mkdir -p "$out/x"

now() { date +%s.%N; }
ms() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b - a) * 1000 }'; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

g++ -std=c++17 -O2 tests/bench/make_package.cpp -o "$out/make_package"
"$out/make_package" "$out/package"
tar -cf "$out/package.tar" -C "$out/package" .

pack_times=()
for ((i = 1; i <= runs; i++)); do
  t0=$(now); "$qvpack" pack "$out/package" "$out/package.qva"; t1=$(now)
  pack_times+=("$(ms "$t0" "$t1")")
done
"$qvpack" verify "$out/package.qva"

# The harness carries the archive as resource BIN 103 and its checksum as
# BIN 107, made as the installer's build makes them.
cmake -DARCHIVE="$out/package.qva" -DCHECKSUM="$out/package.sha256" -P cmake/payload-checksum.cmake
printf '103 BIN "%s"\n107 BIN "%s"\n' "$out/package.qva" "$out/package.sha256" >"$out/payload.rc"
"$QV_MINGW-windres" "$out/payload.rc" -O coff -o "$out/payload.o"
"$QV_MINGW-g++-posix" -std=c++17 -Os -I. -DWIN32_LEAN_AND_MEAN -D_WIN32_WINNT=0x0601 \
  tests/bench/extract_bench.cpp "$out/payload.o" "$QV_WINDOWS_TREE/libqvcore.a" -static -s \
  -lpsapi -lole32 -lshell32 -ladvapi32 -luser32 -lgdi32 -luuid -o "$out/extract_bench.exe"

export WINEPREFIX=$QV_WINE_DIR/bench
scripts/wine-prefix.sh "$WINEPREFIX" "$QV_WINE_DIR/base"
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
drive=$WINEPREFIX/drive_c/bench
rm -rf "$drive" && mkdir -p "$drive"
cp -a "$out/package" "$drive/src"
cp "$out/extract_bench.exe" "$drive/"
wine cmd /c exit >/dev/null 2>&1  # start Wine's helper processes once

# Changes the last byte of every file below $1, keeping its size.
change_files() {
  find "$1" -type f -size +0 -print0 | xargs -0 perl -e '
    for (@ARGV) { open my $f, "+<", $_ or die "$_: $!"; binmode $f; seek $f, -1, 2;
      read $f, my $c, 1; seek $f, -1, 2; print $f chr(ord($c) ^ 1); close $f }'
}

check_ms=() extract_ms=() over_ms=() backups_ms=() changed_ms=() changed_backups_ms=() extract_process_ms=() xcopy_ms=() tar_ms=() peak_ws=() peak_private=()
for ((i = 1; i <= runs; i++)); do
  mkdir "$drive/x$i"
  t0=$(now); wine 'C:\bench\extract_bench.exe' "C:\\bench\\x$i" >"$out/x/run$i.txt" 2>&1; t1=$(now)
  extract_process_ms+=("$(ms "$t0" "$t1")")
  check_ms+=("$(awk '/^check_ms/ { print $2 }' "$out/x/run$i.txt")")
  extract_ms+=("$(awk '/^extract_ms/ { print $2 }' "$out/x/run$i.txt")")
  peak_ws+=("$(awk '/^peak_working_set_kb/ { print $2 }' "$out/x/run$i.txt")")
  peak_private+=("$(awk '/^peak_private_kb/ { print $2 }' "$out/x/run$i.txt")")

  wine 'C:\bench\extract_bench.exe' "C:\\bench\\x$i" >"$out/x/over$i.txt" 2>&1
  over_ms+=("$(awk '/^extract_ms/ { print $2 }' "$out/x/over$i.txt")")
  backups_ms+=("$(awk '/^delete_backups_ms/ { print $2 }' "$out/x/over$i.txt")")

  change_files "$drive/x$i"
  wine 'C:\bench\extract_bench.exe' "C:\\bench\\x$i" >"$out/x/changed$i.txt" 2>&1
  changed_ms+=("$(awk '/^extract_ms/ { print $2 }' "$out/x/changed$i.txt")")
  changed_backups_ms+=("$(awk '/^delete_backups_ms/ { print $2 }' "$out/x/changed$i.txt")")

  t0=$(now); wine xcopy /E /I /Q 'C:\bench\src' "C:\\bench\\c$i" >/dev/null 2>&1; t1=$(now)
  xcopy_ms+=("$(ms "$t0" "$t1")")

  mkdir "$drive/t$i"
  t0=$(now); tar -xf "$out/package.tar" -C "$drive/t$i"; t1=$(now)
  tar_ms+=("$(ms "$t0" "$t1")")

  if [ "$i" -eq 1 ]; then
    grep -q '^ok 1' "$out/x/run1.txt" && grep -q '^intact 1' "$out/x/run1.txt" ||
      { cat "$out/x/run1.txt"; exit 1; }
    grep -q '^ok 1' "$out/x/over1.txt" && grep -qE '^replaced 2\s*$' "$out/x/over1.txt" &&
      grep -q '^kept 2227' "$out/x/over1.txt" || { cat "$out/x/over1.txt"; exit 1; }
    grep -q '^ok 1' "$out/x/changed1.txt" && grep -q '^replaced 2229' "$out/x/changed1.txt" ||
      { cat "$out/x/changed1.txt"; exit 1; }
    diff -r --exclude='*.qv' --exclude=files "$drive/src" "$drive/x1" >/dev/null ||
      { echo "bench: the extracted tree differs from the package" >&2; exit 1; }
    [ "$(find "$drive/c1" -type f | wc -l)" -eq 1764 ] || { echo "bench: xcopy copied too little" >&2; exit 1; }
    companions=$(find "$drive/x1" -name '*.qv' | wc -l)
    lines=$(wc -l <"$drive/x1/files")
  fi
  rm -rf "$drive/x$i" "$drive/c$i" "$drive/t$i"
done

c=$(median "${check_ms[@]}") e=$(median "${extract_ms[@]}") ep=$(median "${extract_process_ms[@]}")
x=$(median "${xcopy_ms[@]}") t=$(median "${tar_ms[@]}") p=$(median "${pack_times[@]}")
echo "package: 1764 files, 120 folders, 22764893 bytes; archive $(stat -c %s "$out/package.qva") bytes"
echo "check: tree identical, $companions companions, $lines lines in \"files\""
echo "medians of $runs runs (ms):"
echo "  qvpack pack                  $p"
echo "  check at start (SHA-256)     $c"
echo "  ExtractPayload (in process)  $e"
echo "  extraction, whole process    $ep"
r=$(median "${over_ms[@]}")
echo "  ExtractPayload (repair)      $r"
echo "  deleting its backups         $(median "${backups_ms[@]}")"
echo "  ExtractPayload (changed)     $(median "${changed_ms[@]}")"
echo "  deleting its backups         $(median "${changed_backups_ms[@]}")"
echo "  wine xcopy /E /I /Q          $x"
echo "  tar -xf (native)             $t"
awk -v c="$c" -v e="$e" -v ep="$ep" -v x="$x" -v t="$t" -v r="$r" 'BEGIN {
  printf "ratios: ExtractPayload/xcopy %.2f, extraction process/xcopy %.2f, ExtractPayload/tar %.2f\n", e / x, ep / x, e / t
  printf "        check/ExtractPayload %.2f (at most 0.20)\n", c / e
  printf "        repair/ExtractPayload %.2f (at most 0.50)\n", r / e }'
echo "check and extraction, peak memory: working set $(median "${peak_ws[@]}") KiB, private $(median "${peak_private[@]}") KiB"
