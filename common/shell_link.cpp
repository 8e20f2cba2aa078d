#include "common/shell_link.h"

#include <shlguid.h>

// The first call gives the count n with the terminator; the buffer has one
// wide character more, which stays a terminator even if the conversion fails.
WideText::WideText(const char* text) {
  const char* source = text ? text : "";
  const int n = MultiByteToWideChar(CP_ACP, 0, source, -1, nullptr, 0);
  wide_ = new wchar_t[n + 1];
  MultiByteToWideChar(CP_ACP, 0, source, -1, wide_, n);
  wide_[n] = 0;
}

bool ShellLink::Create() {
  Release();
  void* object = nullptr;
  if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, &object) !=
      S_OK)
    return false;
  link_ = static_cast<IShellLinkA*>(object);
  return true;
}

bool ShellLink::QueryPersistFile() {
  if (!link_) return false;
  if (persist_) persist_->Release();
  persist_ = nullptr;
  void* object = nullptr;
  if (link_->QueryInterface(IID_IPersistFile, &object) != S_OK) return false;
  persist_ = static_cast<IPersistFile*>(object);
  return true;
}

bool ShellLink::CreateWithPersistFile() {
  if (Create() && QueryPersistFile()) return true;
  Release();
  return false;
}

void ShellLink::Release() {
  if (persist_) persist_->Release();
  persist_ = nullptr;
  if (link_) link_->Release();
  link_ = nullptr;
}

bool ShellLink::Load(const char* path) {
  if (!persist_) return false;
  WideText wide(path);
  return persist_->Load(wide.get(), STGM_READ) == S_OK;
}

bool ShellLink::GetPath(TextString& target, int32_t bufferSize) {
  if (!link_ || bufferSize <= 0) {
    target.SetLength(0);
    return false;
  }
  target.SetLength(bufferSize);
  target.data[0] = 0;
  if (link_->GetPath(target.data, bufferSize, nullptr, SLGP_UNCPRIORITY) != S_OK) {
    target.SetLength(0);
    return false;
  }
  target.TrimToTerminator();
  return true;
}

// The setters' results are not examined: what counts is whether Save succeeds.
void ShellLink::SetPath(const char* path) {
  if (link_) link_->SetPath(path ? path : "");
}

void ShellLink::SetArguments(const char* arguments) {
  if (link_) link_->SetArguments(arguments ? arguments : "");
}

void ShellLink::SetWorkingDirectory(const char* folder) {
  if (link_) link_->SetWorkingDirectory(folder ? folder : "");
}

void ShellLink::SetDescription(const char* description) {
  if (link_) link_->SetDescription(description ? description : "");
}

void ShellLink::SetIconLocation(const char* iconPath) {
  if (link_) link_->SetIconLocation(iconPath ? iconPath : "", 0);
}

bool ShellLink::Save(const char* path) {
  if (!persist_) return false;
  WideText wide(path);
  return persist_->Save(wide.get(), TRUE) == S_OK;
}
