# Run at build time (cmake -DARCHIVE=... -DCHECKSUM=... -P this file): writes
# the SHA-256 of ARCHIVE to CHECKSUM as 64 lower-case hex digits without a line
# end, the form in which the installer carries it (resource "BIN" 107) and
# compares it with its own hash of the archive at start.
file(SHA256 "${ARCHIVE}" digest)
file(WRITE "${CHECKSUM}" "${digest}")
