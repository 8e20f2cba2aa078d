# Sourced by the configure-*.sh scenarios after lib.sh.

# configure_folders INSTALL USER: after OK on the welcome dialog, answers the
# folder dialog with the two folders and sets CONFIGURE_INSTALL and
# CONFIGURE_USER to the folders the run uses. A program without the folder
# dialog takes its preset folders itself (C:\DO-Dazuvazav for both); then
# those are the folders of the run.
configure_folders() {
  local kind
  kind=$(wait_dialog folder,message,finish 30000) || exit 1
  if [ "$kind" = folder ]; then
    set_text folder 112 "$1"
    set_text folder 113 "$2"
    click folder 116
    drive gone folder 10000 >/dev/null || fail "the folder dialog did not close"
    CONFIGURE_INSTALL=$1
    CONFIGURE_USER=$2
  else
    note "no folder dialog: the run uses the preset folders"
    CONFIGURE_INSTALL='C:\DO-Dazuvazav'
    CONFIGURE_USER='C:\DO-Dazuvazav'
  fi
}
