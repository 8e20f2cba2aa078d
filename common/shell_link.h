#pragma once
#include <shobjidl.h>
#include <windows.h>

#include <cstdint>

#include "common/text_string.h"

// The one owner of a shell link object: its IShellLinkA and, once asked for,
// its IPersistFile, released persist-file first. Every result of the shell
// that is an HRESULT counts as success only when it is S_OK.
class ShellLink {
 public:
  ShellLink() = default;
  ~ShellLink() { Release(); }
  ShellLink(const ShellLink&) = delete;
  ShellLink& operator=(const ShellLink&) = delete;

  // A new, empty shell link object (IShellLinkA).
  bool Create();
  // The object's IPersistFile, needed by Load and Save; replaces one asked
  // for before.
  bool QueryPersistFile();
  // Create and QueryPersistFile in one, for reading shortcuts; on failure
  // nothing is held.
  bool CreateWithPersistFile();
  // Releases the persist-file interface, then the shell link interface.
  void Release();

  bool Load(const char* path);
  // The target path into a buffer of bufferSize characters plus terminator.
  // False (and target empty) for anything but S_OK, S_FALSE of a shortcut
  // without a path included.
  bool GetPath(TextString& target, int32_t bufferSize);
  // The setters do nothing without an object.
  void SetPath(const char* path);
  void SetArguments(const char* arguments);
  void SetWorkingDirectory(const char* folder);
  void SetDescription(const char* description);
  void SetIconLocation(const char* iconPath);
  // Writes the shortcut file; true only when the file was saved.
  bool Save(const char* path);

  IShellLinkA* link() const { return link_; }
  IPersistFile* persistFile() const { return persist_; }

 private:
  IShellLinkA* link_ = nullptr;
  IPersistFile* persist_ = nullptr;
};

// An ANSI text (CP_ACP) converted to UTF-16 for the shell's file functions.
class WideText {
 public:
  explicit WideText(const char* text);
  ~WideText() { delete[] wide_; }
  WideText(const WideText&) = delete;
  WideText& operator=(const WideText&) = delete;
  const wchar_t* get() const { return wide_; }

 private:
  wchar_t* wide_ = nullptr;
};
