#pragma once
#include <string>
#include <vector>

// Packs a package tree into the installer's archive format. The tree's top
// level may hold only the folders Bin, Lib, Doc and Beispiele (packed as the
// sections B, L, D, E); Bin must hold qv.ini and pspice.prb. Within every
// folder the entries are written sorted by their Windows-1252 names in plain
// byte order, so the same tree always gives the same bytes.
//
// On any problem the archive is not touched: every problem found is added to
// errors as "<path>: <reason>" and false is returned. The archive is written
// to a temporary file beside it and renamed into place only when complete.
bool PackTree(const std::string& tree, const std::string& archive,
              std::vector<std::string>* errors);
