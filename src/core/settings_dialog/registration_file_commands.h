// The settings dialog's file commands: new, open, rename, import and export
// of the registration file in use, and the load step with its fallbacks.
// The rules are here; the file dialogs' answers and the notices to the user
// come through a small host, which the dialog implements with the system's
// dialogs and the tests with answers of their own. Each command returns a
// status and what the settings file is to record as the file now in use.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/data/status.h"

namespace zor {

class ListEditor;

inline constexpr std::wstring_view kImportTextMissingMessage = L"指定のファイルは存在しません";
inline constexpr std::wstring_view kExportFailedMessage = L"エクスポート中にエラーが発生しました";

// The file dialog a command asks.
enum class FileQuestion {
  kOpen,    // open a registration file (a missing one is created)
  kNew,     // a new registration file's name
  kRename,  // the file in use's new name
  kImport,  // the text file to import
  kExport,  // the text file to export to
};

struct FileAnswer {
  bool chosen = false;      // the user chose a file
  std::wstring path;        // the chosen path, or the initial name when cancelled
  std::uint32_t error = 0;  // non-zero: the dialog itself failed with this code
  int fileType = 1;         // the file type chosen in the dialog, from 1 (export: 2 is UTF-8)
};

// How the host shows a notice: a warning, the file dialog's failure (a
// warning without a title), or the end of an export or import (information).
enum class Notice { kWarning, kDialogFailure, kExported, kImported };

class FileCommandHost {
 public:
  virtual ~FileCommandHost() = default;
  // Shows the file dialog of question, opened on initialName (a full path or empty).
  [[nodiscard]] virtual FileAnswer AskFile(FileQuestion question, const std::wstring& initialName) = 0;
  virtual void Tell(Notice notice, std::wstring_view text) = 0;
  // Work on the files begins (true) or ends (false): the wait cursor.
  virtual void Busy(bool busy) = 0;
  // The load step shows the empty editor before it offers the open dialog.
  virtual void ShowEditor() = 0;
};

enum class FileCommandStatus {
  kDone,       // the command did its work
  kUnchanged,  // cancelled, or nothing to do
  kRefused,    // the answer names a file the command cannot use (told)
  kFailed,     // a file could not be read or written, or the dialog failed (told)
};

struct FileCommandResult {
  FileCommandStatus status = FileCommandStatus::kUnchanged;
  // What "LoadFileName" is to record: the file now in use, or empty for
  // none; nothing leaves the record as it is.
  std::optional<std::wstring> fileInUse;
  friend bool operator==(const FileCommandResult&, const FileCommandResult&) = default;
};

// The rule for a file name the settings file can record: ok, or a refusal
// worded as for any path it cannot store (UnstorablePathReason).
[[nodiscard]] Status StorableFileName(std::wstring_view path);

// "コモンダイアログエラー n": a file dialog that failed with code n.
[[nodiscard]] std::wstring DialogFailureMessage(std::uint32_t error);

class RegistrationFileCommands {
 public:
  // New files are first offered as "無題n.zrd" in programFolder.
  RegistrationFileCommands(ListEditor& editor, FileCommandHost& host, std::filesystem::path programFolder);

  // The load step for the recorded name: a valid file is listed; a newer or
  // foreign one is refused (told, the record cleared); one that cannot be
  // opened or read is told and stays recorded, with no file in use; a
  // missing one is told and the open dialog offered, as Open(kAtLoad).
  FileCommandResult Load(std::wstring_view registrationFile);

  enum class When { kAtLoad, kByCommand };
  // An existing file is checked, a missing one created; a cancelled dialog
  // gives back the file in use, which is read again. At load, an answer
  // that gives no file to use (cancelled or refused) leaves no file and
  // clears the record; by the command, the file in use stays. A file that
  // cannot be read fails (told) and keeps the record, as any failure does.
  FileCommandResult Open(When when);
  // A new empty file (the free "無題n.zrd" when the dialog gives no name).
  FileCommandResult New();
  // The file in use takes a new name (a file of that name is replaced);
  // nothing happens for the same name in any letter case.
  FileCommandResult Rename();
  // A text file's lines become a new registration file beside it, at most
  // 100 of them when limitTo100. The encoding is guessed; when it is not
  // CP932, or lines were skipped for other than being blank, or nothing was
  // registered, the import's report is told.
  FileCommandResult Import(bool limitTo100);
  // The file in use's messages written to a text file, in the encoding of
  // the chosen file type; the record stays.
  FileCommandResult Export();

 private:
  FileCommandResult OpenChosen();
  // False (after the warning) for a name the settings file cannot record.
  [[nodiscard]] bool Storable(std::wstring_view path);
  // The warning for a failed status, and the result it gives.
  FileCommandResult Warned(FileCommandStatus status, const Status& why);
  // A dialog that was not answered: its failure told, if any.
  FileCommandResult NotAnswered(const FileAnswer& answer);
  // The editor lists the file; ok gives the record of name.
  FileCommandResult Use(const std::filesystem::path& path, const std::wstring& name);

  class BusyScope;

  ListEditor& editor_;
  FileCommandHost& host_;
  std::filesystem::path programFolder_;
};

}  // namespace zor
