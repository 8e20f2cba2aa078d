#include "payload/payload_extractor.h"

#include "setup/setup_state.h"

// Placeholder until the archive reader lands: logs the fixed lines only.
bool PayloadExtractor::ExtractPayload(HWND dialog) {
  progressDialog = dialog;
  progressControlId = 121;
  const TextString& folder = g_setupState.installFolder;
  TextString line;
  line.Concat("F", folder.data);
  installLog.PushBack(line.data);
  TextString filesPath;
  filesPath.Concat(folder.data, "\\files");
  line.Concat(">", filesPath.data);
  installLog.PushBack(line.data);
  line.Concat(">", folder.data, "\\links");
  installLog.PushBack(line.data);
  CountPayloadFiles();
  return WriteListFile(filesPath, installLog);
}

void PayloadExtractor::CountPayloadFiles() {
  lastPercentShown = -1;
  filesWritten = 0;
  totalFiles = 0;
}

bool PayloadExtractor::ExtractFolder(const TextString&) { return true; }

bool PayloadExtractor::ExtractFile(const uint8_t*, const TextString&, int32_t) { return true; }
