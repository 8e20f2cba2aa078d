#include "configure/shortcut_maker.h"

// Placeholders until the shortcuts land.
ShortcutMaker::ShortcutMaker() { ReadBrowserPath(); }

void ShortcutMaker::ReadBrowserPath() {}

bool ShortcutMaker::CreateShortcuts(const TextString&) { return true; }

bool ShortcutMaker::MakeShortcut(ShortcutKind, const TextString&) { return true; }

void ShortcutMaker::FindOctaveIcon(TextString& icon) { icon.SetLength(0); }

void ShortcutMaker::WriteLinksLog() {}
