#!/usr/bin/env bash
# The packed demo package unpacks to exactly its tree: every file and folder
# of the package, a companion beside every schematic, the "files" and "links"
# lists, and nothing else; the "files" list holds the lines in archive order,
# as `qvpack list` shows the archive.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'
package=$QV_ROOT/package

step "seeding PSpice"
seed_pspice
seed_octave 3.2.4 >/dev/null

step "installing with the default answers"
install_with_defaults

step "comparing the install folder with the package"
root=$(unix_path "$install")
expected=$QV_E2E_WORK/expected-tree.txt
actual=$QV_E2E_WORK/actual-tree.txt
{
  (cd "$package" && find . -mindepth 1 | sed 's|^\./||')
  (cd "$package" && find . -type f -iname '*.sch' | sed 's|^\./||; s|...$|qv|')
  printf '%s\n' files links
} | sort >"$expected"
(cd "$root" && find . -mindepth 1 | sed 's|^\./||' | sort) >"$actual"
diff -u "$expected" "$actual" >"$QV_E2E_WORK/tree.diff" ||
  fail "the install folder differs from the package:
$(cat "$QV_E2E_WORK/tree.diff")"

step "comparing the files list with the archive"
archive=$QV_E2E_WORK/package.qva
"$QV_QVPACK" pack "$package" "$archive" || fail "cannot pack $package"
"$QV_QVPACK" list "$archive" >"$QV_E2E_WORK/list.txt" || fail "cannot list $archive"
lines=$QV_E2E_WORK/expected-files.txt
{
  printf 'F%s\n>%s\\files\n>%s\\links\n' "$install" "$install" "$install"
  # "d            Bin/sub/" -> "F<install>\Bin\sub"; "- 12 Bin/x" -> "><install>\Bin\x"
  sed -n -e 's|^d *\(.*\)/$|F\1|p' -e 's|^- *[0-9]* \(.*\)$|>\1|p' "$QV_E2E_WORK/list.txt" |
    sed "s|^\(.\)|\1${install//\\//}/|; s|/|\\\\|g"
} >"$lines"
cmp -s "$lines" "$root/files" || fail "the files list differs from the archive:
$(diff "$lines" "$root/files" | head -n 20)"
