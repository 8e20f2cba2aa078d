# Sourced by every end-to-end scenario (tests/e2e/scenarios/*.sh). Gives the
# scenario a fresh Wine prefix with its own wineserver, seeding helpers, the
# dialog driver, and assertions that stop the scenario with a clear message.
# See docs/e2e.md. Paths given to these functions are Windows paths (C:\...).
#
# Every wine process writes into files, never into a pipe: Wine's helper
# processes inherit the standard handles and would keep a pipe (ctest's, or a
# $(...) of bash) open until the wineserver ends.

set -uo pipefail

E2E_NAME=$(basename "$0" .sh)
E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
QV_ROOT=${QV_ROOT:-$(cd "$E2E_LIB_DIR/../.." && pwd)}

# Run by hand without an X display: run again under Xvfb.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

source "$QV_ROOT/scripts/wine-env.sh"
QV_SETUP_EXE=${QV_SETUP_EXE:-$QV_WINDOWS_TREE/QVSetup.exe}
QV_SETUP_SHIPPED_EXE=${QV_SETUP_SHIPPED_EXE:-$QV_WINDOWS_TREE/QVSetupShipped.exe}
QV_SHIPPED_PACKAGE=${QV_SHIPPED_PACKAGE:-$QV_WINDOWS_TREE/e2e-shipped-package}
QV_DRIVE_EXE=${QV_DRIVE_EXE:-$QV_WINDOWS_TREE/qvdrive.exe}
QV_STANDIN_EXE=${QV_STANDIN_EXE:-$QV_WINDOWS_TREE/standin.exe}
QV_PLANTED_DLL=${QV_PLANTED_DLL:-$QV_WINDOWS_TREE/planted.dll}
QV_QVPACK=${QV_QVPACK:-$QV_ROOT/build/host/tools/qvpack/qvpack}
QV_WINE_BASE=${QV_WINE_BASE:-$QV_WINE_DIR/base}
QV_E2E_WORK=${QV_E2E_WORK:-$QV_WINDOWS_TREE/e2e/${E2E_NAME//-/_}}

# Where the installer is copied and started from, as a user would from a download.
E2E_SETUP_WIN='C:\Downloads\QVSetup.exe'
E2E_PID=""
E2E_DRIVE=""
E2E_STEP="setting up"

# ---- output and failure ------------------------------------------------------

note() { echo "[$E2E_NAME] $*"; }

# Stops the scenario: says what failed, then shows the visible dialogs and the
# end of the installer's output.
fail() {
  echo "FAIL [$E2E_NAME] while $E2E_STEP: $*" >&2
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    echo "  visible dialogs:" >&2
    drive list 2>&1 | sed 's/^/    /' >&2
  fi
  if [ -s "$QV_E2E_WORK/installer.log" ]; then
    echo "  installer output (last lines):" >&2
    tail -n 15 "$QV_E2E_WORK/installer.log" | sed 's/^/    /' >&2
  fi
  exit 1
}

# Names the phase of the scenario for the failure messages.
step() {
  E2E_STEP=$*
  note "$*"
}

# ---- Wine --------------------------------------------------------------------

# A Windows path as a path of this machine; only drive C: is mapped.
unix_path() {
  local path=$1
  case "$path" in
    [Cc]:*) path=${path:2} ;;
    *) fail "unix_path: not a C: path: $1" ;;
  esac
  echo "$WINEPREFIX/drive_c${path//\\//}"
}

# Runs a Windows program of the prefix with its output in a file; prints the
# output afterwards and returns the program's status.
wine_quiet() {
  local out=$QV_E2E_WORK/wine.out
  wine "$@" </dev/null >"$out" 2>"$out.err"
  local status=$?
  cat "$out"
  grep -v -e '^fixme:' -e '^err:' "$out.err" >&2 || true
  return $status
}

# The driver (tests/e2e/qvdrive.cpp); see `drive` without arguments for its commands.
drive() { wine_quiet "$QV_DRIVE_EXE" "$@"; }

e2e_cleanup() {
  local status=$?
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  if [ -n "$E2E_PID" ]; then
    wait "$E2E_PID" 2>/dev/null || true
  fi
  if [ -n "$E2E_DRIVE" ]; then
    umount "$E2E_DRIVE" 2>/dev/null || umount -l "$E2E_DRIVE"
  fi
  # A prefix takes about half a gigabyte: keep it only where a scenario failed
  # or where the caller asks for it (the demo).
  if [ $status -eq 0 ]; then
    [ -n "${QV_E2E_KEEP:-}" ] || rm -rf "$QV_E2E_WORK/prefix"
    echo "PASS [$E2E_NAME] ($SECONDS s)"
  fi
  exit $status
}

# A fresh prefix, copied from the booted template, with its own wineserver.
e2e_prefix() {
  rm -rf "$QV_E2E_WORK"
  mkdir -p "$QV_E2E_WORK"
  export WINEPREFIX=$QV_E2E_WORK/prefix
  "$QV_ROOT/scripts/wine-prefix.sh" "$WINEPREFIX" "$QV_WINE_BASE" ||
    fail "cannot make the prefix $WINEPREFIX"
  trap e2e_cleanup EXIT
  wineserver -p </dev/null >/dev/null 2>&1
  # The first program starts Wine's helper processes; give them files.
  E2E_COMMON_PROGRAMS=$(drive folder 23) || fail "no all-users Programs folder"
  E2E_USER_PROGRAMS=$(drive folder 2) || fail "no user Programs folder"
  E2E_DESKTOP=$(drive folder 16) || fail "no Desktop folder"
  E2E_DOCUMENTS=$(drive folder 5) || fail "no Documents folder"
}

for tool in "$QV_SETUP_EXE" "$QV_DRIVE_EXE" "$QV_STANDIN_EXE"; do
  [ -f "$tool" ] || { echo "FAIL [$E2E_NAME]: $tool is not built" >&2; exit 1; }
done
e2e_prefix

# ---- seeding -----------------------------------------------------------------

# seed_file WINPATH [BYTES]: a file holding exactly BYTES (use $'..' for
# special bytes, e.g. $'Paket=\xA7\r\n').
seed_file() {
  local path
  path=$(unix_path "$1")
  mkdir -p "$(dirname "$path")"
  printf '%s' "${2:-}" >"$path"
}

seed_folder() { mkdir -p "$(unix_path "$1")"; }

# seed_small_drive BYTES: a drive D: that holds BYTES (rounded up to whole
# pages, and every file takes at least one), a tmpfs, so that it really fills
# up. Needs root; unmounted when the scenario ends, whatever its result.
seed_small_drive() {
  E2E_DRIVE=$QV_E2E_WORK/drive-d
  mkdir -p "$E2E_DRIVE"
  mount -t tmpfs -o "size=$1" tmpfs "$E2E_DRIVE" || {
    E2E_DRIVE=""
    fail "cannot mount a tmpfs of $1 bytes (this needs root)"
  }
  ln -sfn "$E2E_DRIVE" "$WINEPREFIX/dosdevices/d:"
}

# seed_program WINPATH: the stand-in program (it only says what it is) at WINPATH.
seed_program() {
  local path
  path=$(unix_path "$1")
  mkdir -p "$(dirname "$path")"
  cp "$QV_STANDIN_EXE" "$path"
}

# seed_link LNKPATH TARGET [ARGS [WORKDIR [DESCRIPTION [ICON [INDEX]]]]]
seed_link() {
  mkdir -p "$(dirname "$(unix_path "$1")")"
  drive lnk-create "$@" >/dev/null || fail "cannot create the shortcut $1"
}

# seed_reg KEY NAME TYPE DATA (as `reg add`; NAME '' is the default value)
seed_reg() {
  local args=(add "$1" /f)
  if [ -n "$2" ]; then args+=(/v "$2"); else args+=(/ve); fi
  [ $# -ge 4 ] && args+=(/t "$3" /d "$4")
  wine_quiet reg "${args[@]}" >/dev/null || fail "cannot write the registry key $1"
}

seed_reg_key() { wine_quiet reg add "$1" /f >/dev/null || fail "cannot create the key $1"; }

# The PSpice Student 9.1 that the installer looks for: the key under HKCU,
# the program folder with PSCHED.EXE and a Common folder, and the Start-menu
# group "PSpice Student" with Schematics.lnk (all users). Each part can also
# be seeded alone with the functions below.
E2E_PSPICE='C:\Programme\OrCAD_Demo\PSpice'
seed_pspice_key() { seed_reg_key 'HKCU\SOFTWARE\OrCAD\PSpice\9.11'; }
seed_pspice_program() {
  seed_program "${1:-$E2E_PSPICE}\\PSCHED.EXE"
  seed_folder "${1:-$E2E_PSPICE}\\Common"
}
# seed_pspice_link [FOLDER [PROGRAMS_ROOT]]
seed_pspice_link() {
  seed_link "${2:-$E2E_COMMON_PROGRAMS}\\PSpice Student\\Schematics.lnk" \
    "${1:-$E2E_PSPICE}\\PSCHED.EXE" "" "${1:-$E2E_PSPICE}" "PSpice Schematics"
}
seed_pspice() {
  seed_pspice_key
  seed_pspice_program "${1:-$E2E_PSPICE}"
  seed_pspice_link "${1:-$E2E_PSPICE}"
}

# seed_octave VERSION [PROGRAMS_ROOT [FOLDER]]: Octave VERSION installed in
# FOLDER (default C:\Octave\VERSION), its program bin\octave-VERSION.exe and a
# Start-menu shortcut "GNU Octave VERSION\Octave.lnk" to it. Prints the
# program's path.
seed_octave() {
  local version=$1 root=${2:-$E2E_COMMON_PROGRAMS} folder=${3:-"C:\\Octave\\$1"}
  local program="$folder\\bin\\octave-$version.exe"
  seed_program "$program"
  seed_file "$folder\\share\\octave\\octave.ico" 'icon'
  seed_link "$root\\GNU Octave $version\\Octave.lnk" "$program" "" "$folder\\bin" "GNU Octave"
  echo "$program"
}

# ---- the installer -----------------------------------------------------------

# Copies QVSetup.exe to C:\Downloads (or $1) and starts it in the background.
start_installer() {
  local win=${1:-$E2E_SETUP_WIN} path
  path=$(unix_path "$win")
  mkdir -p "$(dirname "$path")"
  cp "$QV_SETUP_EXE" "$path"
  E2E_SETUP_WIN=$win
  (cd "$(dirname "$path")" && exec wine "$win" </dev/null >>"$QV_E2E_WORK/installer.log" 2>&1) &
  E2E_PID=$!
  note "started $win"
}

installer_running() { [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null; }

# wait_dialog KINDS [MS]: waits for one of the dialog kinds; prints the kind.
wait_dialog() {
  local kind
  kind=$(drive wait "$1" "${2:-30000}") || fail "expected a $1 dialog"
  echo "$kind"
}

# expect_dialog KIND [MS]: the next dialog to appear (besides the welcome
# dialog, which stays open during the run) must be KIND.
expect_dialog() {
  local kinds="$1,message,folder,octave-missing,octave-choice,finish,other" kind
  [ "$1" = welcome ] && kinds=welcome
  kind=$(wait_dialog "$kinds" "${2:-30000}") || exit 1
  [ "$kind" = "$1" ] || fail "expected the $1 dialog, saw the $kind dialog"
}

# click KIND ID: presses button ID of the dialog (posts WM_COMMAND).
click() { drive click "$1" "$2" >/dev/null || fail "cannot click $2 in the $1 dialog"; }
press_escape() { drive escape "$1" >/dev/null || fail "cannot press Escape in the $1 dialog"; }
set_text() { drive settext "$1" "$2" "$3" >/dev/null || fail "cannot set the text of $2 in the $1 dialog"; }
control_text() { drive text "$1" "$2" || fail "cannot read control $2 of the $1 dialog"; }
check_radio() { drive check "$1" "$2" >/dev/null || fail "cannot mark $2 in the $1 dialog"; }
select_item() { drive select "$1" "$2" "$3" >/dev/null || fail "cannot select item $3 of $2 in the $1 dialog"; }

# answer_message EXPECTED: a message box with exactly this text is shown; press OK.
answer_message() {
  expect_dialog message
  local text
  text=$(drive msgtext) || fail "cannot read the message box"
  [ "$text" = "$1" ] || fail "message box says \"$text\", expected \"$1\""
  click message 1
  drive gone message 10000 >/dev/null || fail "the message box did not close"
}

# wait_end [SECONDS]: the installer process must end (no dialog left open).
wait_end() {
  local limit=$((${1:-30} * 10)) i=0
  while installer_running; do
    i=$((i + 1))
    [ $i -le $limit ] || fail "the installer did not end within ${1:-30} s"
    sleep 0.1
  done
  wait "$E2E_PID"
  E2E_EXIT=$?
  E2E_PID=""
}

# finish_install: the finish dialog is shown; press its OK and wait for the end.
finish_install() {
  expect_dialog finish 60000
  click finish 116
  wait_end
}

# run_to_finish: after OK on the welcome dialog, answers every dialog with
# its default (folder dialog: OK with the preset folders; Octave missing: go
# on without Octave; Octave choice: the first entry) until the finish dialog
# appears. A message box on the way fails the scenario with its text.
run_to_finish() {
  local kind text
  for _ in 1 2 3 4 5 6; do
    kind=$(wait_dialog message,octave-missing,octave-choice,folder,finish,other 60000) || exit 1
    case "$kind" in
      finish) return 0 ;;
      folder) click folder 116 ;;
      octave-missing) check_radio octave-missing 109 && click octave-missing 116 ;;
      octave-choice) click octave-choice 116 ;;
      message)
        text=$(drive msgtext)
        fail "unexpected message box: \"$text\"" ;;
      *) fail "unexpected dialog" ;;
    esac
    drive gone "$kind" 10000 >/dev/null || fail "the $kind dialog did not close"
  done
  fail "no finish dialog after six dialogs"
}

# start_install_into INSTALL USER: starts the installer, presses OK on the
# welcome dialog and answers the folder dialog with the two folders.
start_install_into() {
  start_installer
  expect_dialog welcome
  click welcome 116
  expect_dialog folder 30000
  set_text folder 112 "$1"
  set_text folder 113 "$2"
  click folder 116
  drive gone folder 10000 >/dev/null || fail "the folder dialog did not close"
}

# install_with_defaults: the whole run with the default answers, from the
# start of the installer to its end after the finish dialog (exit code 0).
install_with_defaults() {
  start_installer
  expect_dialog welcome
  click welcome 116
  run_to_finish
  click finish 116
  wait_end
  assert_equal "$E2E_EXIT" 0 "the installer's exit code"
}

# install_failing_with TEXT [INSTALL USER]: starts the installer, takes the
# preset folders (or INSTALL and USER) and expects the run to fail with the
# message TEXT; the process must then end by itself with exit code 0 (a finish
# dialog would wait for its OK).
install_failing_with() {
  if [ $# -ge 3 ]; then
    start_install_into "$2" "$3"
  else
    start_installer
    expect_dialog welcome
    click welcome 116
    expect_dialog folder
    click folder 116
  fi
  answer_message "$1"
  wait_end
  assert_equal "$E2E_EXIT" 0 "the installer's exit code"
}

# hold_file PATH: another program holds PATH open without sharing, until let_go.
hold_file() { e2e_hold hold "$1"; }
# hold_for_reading PATH: a reader holds PATH open sharing only reading, until let_go.
hold_for_reading() { e2e_hold hold-read "$1"; }
# hold_mutex NAME: a program without a window holds the mutex NAME, until let_go.
hold_mutex() { e2e_hold mutex "$1"; }
e2e_hold() {
  E2E_RELEASE=$(unix_path 'C:\release-held-file')
  rm -f "$E2E_RELEASE" "$QV_E2E_WORK/hold.out"
  (wine "$QV_DRIVE_EXE" "$1" "$2" 'C:\release-held-file' </dev/null >"$QV_E2E_WORK/hold.out" 2>&1) &
  E2E_HOLDER=$!
  for _ in $(seq 100); do grep -q held "$QV_E2E_WORK/hold.out" && break; sleep 0.1; done
  grep -q held "$QV_E2E_WORK/hold.out" || fail "$2 is not held: $(cat "$QV_E2E_WORK/hold.out")"
}
let_go() { touch "$E2E_RELEASE" && wait "$E2E_HOLDER"; }

# install_to_prompt PATH: a run with the preset folders stops at the prompt
# that asks to close the program holding PATH (Retry 4, Cancel 2).
install_to_prompt() {
  start_installer
  expect_dialog welcome
  click welcome 116
  expect_dialog folder
  click folder 116
  expect_dialog message 60000
  assert_equal "$(drive caption message)" "QV Setup" "the prompt's caption"
  assert_equal "$(drive msgtext)" $'Die Datei\r\n'"$1"$'\r\nwird von einem anderen Programm verwendet. Schließen Sie das Programm und klicken Sie dann auf Wiederholen.' "the prompt's text"
  drive text message 4 >/dev/null && drive text message 2 >/dev/null ||
    fail "the prompt has no Retry and Cancel buttons"
}

# cancel_at_prompt: Abbrechen at the file-in-use prompt; the run fails with
# its message and ends.
cancel_at_prompt() {
  click message 2
  local failed="Die Dateien konnten nicht kopiert werden"
  # The failure's message may follow the prompt at once: wait for its text.
  for _ in $(seq 50); do [ "$(drive msgtext 2>/dev/null)" = "$failed" ] && break; sleep 0.1; done
  answer_message "$failed"
  wait_end
}

# same_as_before FOLDER WHAT: FOLDER is as its snapshot in before.txt.
same_as_before() {
  snapshot "$1" "$QV_E2E_WORK/now.txt"
  diff -u "$QV_E2E_WORK/before.txt" "$QV_E2E_WORK/now.txt" >"$QV_E2E_WORK/diff.txt" ||
    fail "$2 differs from before: $(cat "$QV_E2E_WORK/diff.txt")"
}

# snapshot FOLDER OUT: every file and folder below FOLDER with its mode (444
# is read-only), and each file's checksum.
snapshot() {
  (cd "$(unix_path "$1")" && find . -mindepth 1 -printf '%y %m %p\n' | sort &&
    find . -type f -exec sha256sum {} + | sort -k 2) >"$2"
}

# still_open KIND SECONDS: the dialog stays open for that long (e.g. after Escape).
still_open() {
  sleep "$2"
  installer_running || fail "the installer ended; the $1 dialog should still be open"
  drive wait "$1" 1000 >/dev/null || fail "the $1 dialog closed"
}

# ---- assertions --------------------------------------------------------------

assert_file() { [ -f "$(unix_path "$1")" ] || fail "missing file $1"; }
assert_no_file() { [ ! -e "$(unix_path "$1")" ] || fail "$1 should not exist"; }
assert_folder() { [ -d "$(unix_path "$1")" ] || fail "missing folder $1"; }
assert_no_folder() { [ ! -e "$(unix_path "$1")" ] || fail "$1 should not exist"; }

# assert_file_content WINPATH BYTES: the file holds exactly BYTES ($'..' for
# special bytes, e.g. $'C:\\x\n').
assert_file_content() {
  local path expected=$QV_E2E_WORK/expected.bin
  path=$(unix_path "$1")
  [ -f "$path" ] || fail "missing file $1"
  printf '%s' "$2" >"$expected"
  cmp -s "$path" "$expected" || fail "$1 holds $(od -c "$path" | head -n 8 | tr -s ' ')
    expected $(od -c "$expected" | head -n 8 | tr -s ' ')"
}

# assert_same_file WINPATH LOCALPATH: the file equals a file of this machine.
assert_same_file() {
  local path
  path=$(unix_path "$1")
  [ -f "$path" ] || fail "missing file $1"
  cmp -s "$path" "$2" || fail "$1 differs from $2"
}

# assert_file_has_line WINPATH LINE: one line of the file equals LINE (no CR).
assert_file_has_line() {
  local path
  path=$(unix_path "$1")
  [ -f "$path" ] || fail "missing file $1"
  grep -qxF -- "$2" "$path" || fail "$1 has no line \"$2\"; it holds:
$(head -n 20 "$path")"
}

# Folders below the prefix that changed since the mark: nothing written
# checks compare them (files newer than the mark, outside Wine's own folders).
mark_time() { touch "$QV_E2E_WORK/mark"; sleep 1; }
assert_nothing_written() {
  local changed
  changed=$(find "$WINEPREFIX/drive_c" -newer "$QV_E2E_WORK/mark" -type f \
    ! -path '*/windows/*' ! -path '*/AppData/Local/Temp/*' ! -path '*/Downloads/*' 2>/dev/null)
  [ -z "$changed" ] || fail "files were written:
$changed"
}

# assert_reg KEY NAME EXPECTED ('' is the default value)
assert_reg() {
  local value
  value=$(drive reg "$1" "$2" 2>&1) || fail "no value \"$2\" in $1: $value"
  [ "$value" = "$3" ] || fail "$1 \"$2\" is \"$value\", expected \"$3\""
}
assert_reg_key() { drive regkey "$1" || fail "missing registry key $1"; }
assert_no_reg_key() { ! drive regkey "$1" || fail "the registry key $1 should not exist"; }

# assert_link LNKPATH FIELD EXPECTED; FIELD: target arguments workdir
# description icon iconindex
assert_link() {
  local shown value
  [ -f "$(unix_path "$1")" ] || fail "missing shortcut $1"
  shown=$(drive lnk-show "$1") || fail "cannot read the shortcut $1"
  value=$(printf '%s\n' "$shown" | sed -n "s/^$2=//p")
  [ "$value" = "$3" ] || fail "shortcut $1: $2 is \"$value\", expected \"$3\""
}

# assert_text KIND ID EXPECTED: a control's text.
assert_text() {
  local value
  value=$(control_text "$1" "$2") || exit 1
  [ "$value" = "$3" ] || fail "control $2 of the $1 dialog says \"$value\", expected \"$3\""
}

# assert_installed_package PACKAGE INSTALL: the install folder holds exactly
# the package tree PACKAGE (a folder of this machine), a companion beside
# every schematic, "files" and "links", and nothing else; the "files" list
# holds the lines in archive order, as `qvpack list` shows the packed tree.
assert_installed_package() {
  local package=$1 install=$2 root expected=$QV_E2E_WORK/expected-tree.txt
  local actual=$QV_E2E_WORK/actual-tree.txt archive=$QV_E2E_WORK/package.qva
  local lines=$QV_E2E_WORK/expected-files.txt
  root=$(unix_path "$install")
  {
    (cd "$package" && find . -mindepth 1 | sed 's|^\./||')
    (cd "$package" && find . -type f -iname '*.sch' | sed 's|^\./||; s|...$|qv|')
    printf '%s\n' files links
  } | sort >"$expected"
  (cd "$root" && find . -mindepth 1 | sed 's|^\./||' | sort) >"$actual"
  diff -u "$expected" "$actual" >"$QV_E2E_WORK/tree.diff" ||
    fail "the install folder differs from the package:
$(head -n 40 "$QV_E2E_WORK/tree.diff")"
  "$QV_QVPACK" pack "$package" "$archive" || fail "cannot pack $package"
  "$QV_QVPACK" list "$archive" >"$QV_E2E_WORK/list.txt" || fail "cannot list $archive"
  {
    printf 'F%s\n>%s\\files\n>%s\\links\n' "$install" "$install" "$install"
    # "d            Bin/sub/" -> "F<install>\Bin\sub"; "- 12 Bin/x" -> "><install>\Bin\x"
    sed -n -e 's|^d *\(.*\)/$|F\1|p' -e 's|^- *[0-9]* \(.*\)$|>\1|p' "$QV_E2E_WORK/list.txt" |
      sed "s|^\(.\)|\1${install//\\//}/|; s|/|\\\\|g"
  } >"$lines"
  cmp -s "$lines" "$root/files" || fail "the files list differs from the archive:
$(diff "$lines" "$root/files" | head -n 20)"
}

assert_equal() { [ "$1" = "$2" ] || fail "${3:-value} is \"$1\", expected \"$2\""; }
