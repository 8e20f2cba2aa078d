#include "setup/run_install.h"

#include "common/reg_key.h"
#include "common/text_string.h"
#include "configure/config_files.h"
#include "configure/registry_entries.h"
#include "configure/shortcut_maker.h"
#include "detect/pspice_locator.h"
#include "payload/failure_log.h"
#include "payload/payload_extractor.h"
#include "payload/payload_resource.h"
#include "payload/replaced_files.h"
#include "payload/rollback.h"
#include "setup/setup_state.h"
#include "setup/welcome_dialog.h"
#include "ui/folder_dialog.h"
#include "ui/octave_dialogs.h"

namespace {

const char kCaption[] = "QV Setup";

void ShowMessage(HWND owner, const char* text) { MessageBoxA(owner, text, kCaption, MB_OK); }

bool PSpiceKeyPresent() {
  RegKey key;
  return RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\OrCAD\\PSpice\\9.11", 0, KEY_ALL_ACCESS,
                       key.Receive()) == ERROR_SUCCESS;
}

// Points the extractor at the archive that the program carries as resource
// "BIN" 103. Without it the extractor reads an empty archive and fails.
void LocatePayload(PayloadExtractor& extractor) {
  const BinResource archive = LockBinResource(kArchiveResourceId);
  if (!archive.data) return;
  extractor.readPosition = archive.data;
  extractor.archiveEnd = archive.data + archive.size;
}

// Undoes the failed run. Its journal goes only once every backup is back in
// its place; one that stays is left, with the journal, for the next run.
void UndoFailedRun(PayloadExtractor& extractor, HWND owner) {
  RollbackInstall(extractor.installLog, extractor.backupsMade, extractor.keptFiles, owner,
                  &extractor.unrestoredBackups);
  if (extractor.unrestoredBackups.count == 0) extractor.journal.Finish();
}

// An earlier run that was cut off could not be put right: this run changed
// nothing, and the journal waits for the next one.
void ShowUnfinishedRecovery(HWND owner, const UnfinishedRecovery& unfinished) {
  TextString text;
  text.Concat("Eine unterbrochene Installation in\r\n", unfinished.installFolder.data,
              "\r\nkonnte nicht r\xFC"
              "ckg\xE4ngig gemacht werden. Die Datei\r\n");
  text.Append(unfinished.file);
  text.Append("\r\nist nicht zug\xE4nglich.");
  ShowMessage(owner, text.data);
}

}  // namespace

int32_t RunInstall(HWND owner) {
  const bool keyPresent = PSpiceKeyPresent();
  g_setupState.installFolder.SetLength(0);
  g_setupState.userFolder.SetLength(0);

  // The records of the run, released in reverse order on every way out.
  TextString pspiceFolder;
  PayloadExtractor extractor;
  LocatePayload(extractor);
  extractor.journalPath = kRunJournalPath;
  TextString schematicsCommand;
  ShortcutMaker shortcutMaker;
  PSpiceLocator pspiceLocator;

  if (!keyPresent || !pspiceLocator.found) {
    ShowMessage(owner, "OrCAD PSpice Student 9.1 konnte nicht gefunden werden");
    return -1;
  }
  pspiceFolder.Assign(pspiceLocator.folder.data);

  OctaveLocator& octave = g_setupState.octaveLocator;
  const int32_t octaveCount = octave.FindOctaveTargets();
  if (octaveCount == 0 && ShowOctaveMissingDialog(owner) == 0) return -1;
  int32_t octaveIndex = 0;
  if (octaveCount >= 2) octaveIndex = static_cast<int32_t>(ShowOctaveChoiceDialog(owner));
  octave.SelectOctaveTarget(octaveIndex);

  if (ShowFolderDialog(owner) != 0) return -1;
  UpdateWindow(owner);

  // The extraction makes the first change on disk (a cut-off run's recovery).
  BlockSessionEnd(owner);
  if (!extractor.ExtractPayload(owner)) {
    if (extractor.unfinishedRecovery.file.length > 0) {
      ShowUnfinishedRecovery(owner, extractor.unfinishedRecovery);
      return -1;
    }
    WriteFailureLog(extractor);
    UndoFailedRun(extractor, owner);
    AppendUnrestoredBackups(extractor.unrestoredBackups);
    ShowMessage(owner, "Die Dateien konnten nicht kopiert werden");
    return -1;
  }
  if (!RewriteIniFile(owner)) {
    UndoFailedRun(extractor, owner);
    ShowMessage(owner, "Die ini-Datei konnte nicht angepasst werden");
    return -1;
  }
  // No step after this one is undone: the earlier installation's files that
  // this run replaced are no longer needed. The mark comes first, so that a
  // run cut off meanwhile is completed by the next one, not undone.
  extractor.journal.MarkCommitted();
  DeleteBackups(extractor.backupsMade);
  extractor.journal.Finish();
  if (!CopyProbeFile(pspiceFolder)) {
    ShowMessage(owner, "Die prb-Datei konnte nicht angepasst werden (unkritisch)");
  }

  schematicsCommand.Concat("\"", pspiceFolder.data, "\\psched.exe\" -i \"");
  schematicsCommand.Append(g_setupState.installFolder);
  schematicsCommand.Append("\\Bin\\qv.ini\"");

  WriteInstallKey();
  RegisterFileType(schematicsCommand);
  shortcutMaker.CreateShortcuts(pspiceFolder);
  shortcutMaker.WriteLinksLog();
  return 0;
}
