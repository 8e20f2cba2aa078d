#!/usr/bin/env bash
# The packed demo package unpacks to exactly its tree: every file and folder
# of the package, a companion beside every schematic, the "files" and "links"
# lists, and nothing else; the "files" list holds the lines in archive order,
# as `qvpack list` shows the archive.
source "$(dirname "$0")/../lib.sh"

install='C:\DO-Dazuvazav'

step "seeding PSpice"
seed_pspice
seed_octave 3.2.4 >/dev/null

step "installing with the default answers"
install_with_defaults

step "comparing the install folder and the files list with the package"
assert_installed_package "$QV_ROOT/package" "$install"
