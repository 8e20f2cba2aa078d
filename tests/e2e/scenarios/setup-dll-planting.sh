#!/usr/bin/env bash
# DLLs planted beside QVSetup.exe under the names of system DLLs that are
# loaded on demand are never loaded: the program restricts the DLL search to
# the system folder first thing. Wine is told to prefer native DLLs of these
# names, so without the restriction the planted uxtheme.dll is loaded when the
# first dialog is created. Each planted DLL leaves C:\planted\<name> when loaded.
planted="uxtheme dwmapi comctl32 propsys msctf oleaut32 setupapi riched20"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;${planted// /,}=n,b"
source "$(dirname "$0")/../lib.sh"

step "planting DLLs beside the installer"
seed_pspice
seed_folder 'C:\Downloads'
for name in $planted; do
  cp "$QV_PLANTED_DLL" "$(unix_path "C:\\Downloads\\$name.dll")"
done

step "installing"
install_with_defaults

step "checking that no planted DLL was loaded"
markers=$(unix_path 'C:\planted')
[ ! -e "$markers" ] || fail "planted DLLs were loaded: $(ls "$markers" | tr '\n' ' ')"
assert_file 'C:\DO-Dazuvazav\files'
