#include "payload/failure_log.h"

#include <cstdio>

#include "common/stdio_file.h"

namespace {

const char kFailureLogPath[] = "c:\\vadodiz.log";

// The one owner of a message text that FormatMessageA allocated.
class SystemMessageText {
 public:
  explicit SystemMessageText(DWORD code) {
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text_), 0,
                   nullptr);
  }
  ~SystemMessageText() {
    if (text_) LocalFree(text_);
  }
  SystemMessageText(const SystemMessageText&) = delete;
  SystemMessageText& operator=(const SystemMessageText&) = delete;

  // The text, or an empty one when the system has none for the code.
  const char* get() const { return text_ ? text_ : ""; }

 private:
  char* text_ = nullptr;
};

}  // namespace

void WriteFailureLog(const PayloadExtractor& extractor) {
  TextString path;
  path.Assign(kFailureLogPath);
  WriteListFile(path, extractor.installLog);  // replaces an earlier failure log

  // The code was taken when the step failed: by now opening and writing this
  // log have overwritten the thread's last-error value.
  const DWORD code = extractor.failureCode;
  StdioFile file(kFailureLogPath, "a");
  if (!file) return;
  char line[32];
  wsprintfA(line, "Error = %d\n", static_cast<int>(code));
  std::fputs(line, file.get());
  SystemMessageText text(code);
  std::fputs(text.get(), file.get());
  std::fputc('\n', file.get());
  if (extractor.journalFailed && extractor.journalPath) {
    std::fputs("Journal = ", file.get());
    std::fputs(extractor.journalPath, file.get());
    std::fputc('\n', file.get());
  }
}

void AppendUnrestoredBackups(const StringList& backups) {
  if (!backups.head) return;
  StdioFile file(kFailureLogPath, "a");
  if (!file) return;
  // fputs, not fprintf: the formatted output would link mingw's own printf.
  for (const StringListNode* node = backups.head; node; node = node->next) {
    std::fputs("Not restored = ", file.get());
    std::fputs(node->line, file.get());
    std::fputc('\n', file.get());
  }
}
