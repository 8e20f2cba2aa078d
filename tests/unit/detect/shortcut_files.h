#pragma once
#include <string>
#include <vector>

// Saves a real shortcut file through the shell link object, its target given
// to SetPath. False when the shell refused to save it.
bool SaveShortcut(const std::string& path, const std::string& target);

// The target that the shell reads from a shortcut file, or "<unreadable>".
std::string ShortcutTarget(const std::string& path);

// The bytes of a shortcut file whose link info holds target as its local path,
// byte for byte. The shell's SetPath makes a target without a drive absolute,
// so targets like "psched.exe" or "\psched.exe" are written this way.
std::string ShortcutBytesWithTarget(const std::string& target);

// Saves the shortcut base + "\" + relative, creating the folders of relative
// on the way. When created is given, every folder and file this call created
// is appended to it. False when the shortcut exists already or cannot be saved.
bool PlaceShortcut(const std::string& base, const std::string& relative, const std::string& target,
                   std::vector<std::string>* created = nullptr);

// Shortcuts placed below a real Programs root of the test prefix (resolved
// through SHGetFolderPathA). Only what Place created is removed again, newest
// first, and a folder only when it is empty: other test programs may use the
// same root at the same time.
class RootShortcuts {
 public:
  explicit RootShortcuts(int csidl);
  ~RootShortcuts();
  RootShortcuts(const RootShortcuts&) = delete;
  RootShortcuts& operator=(const RootShortcuts&) = delete;

  const std::string& root() const { return root_; }
  bool Place(const std::string& relative, const std::string& target) {
    return !root_.empty() && PlaceShortcut(root_, relative, target, &created_);
  }

 private:
  std::string root_;
  std::vector<std::string> created_;
};
