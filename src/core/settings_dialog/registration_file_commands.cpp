#include "core/settings_dialog/registration_file_commands.h"

#include <utility>

#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/data/text_exchange.h"
#include "core/options/folder_chooser.h"
#include "core/settings_dialog/list_editor.h"
#include "core/text/cp932.h"
#include "core/text/measures.h"

namespace zor {

Status StorableFileName(std::wstring_view path) {
  std::wstring why = UnstorablePathReason(path);
  if (why.empty()) return Status::Ok();
  return Status::Fail(FileError::kRefused, std::move(why));
}

std::wstring DialogFailureMessage(std::uint32_t error) { return L"コモンダイアログエラー " + std::to_wstring(error); }

// The wait cursor from the first file work of a command to its end.
class RegistrationFileCommands::BusyScope {
 public:
  explicit BusyScope(FileCommandHost& host) : host_(host) { host_.Busy(true); }
  ~BusyScope() { host_.Busy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  FileCommandHost& host_;
};

RegistrationFileCommands::RegistrationFileCommands(ListEditor& editor, FileCommandHost& host,
                                                   std::filesystem::path programFolder)
    : editor_(editor), host_(host), programFolder_(std::move(programFolder)) {}

bool RegistrationFileCommands::Storable(std::wstring_view path) {
  const Status storable = StorableFileName(path);
  if (!storable.ok()) host_.Tell(Notice::kWarning, storable.message());
  return storable.ok();
}

FileCommandResult RegistrationFileCommands::Warned(FileCommandStatus status, const Status& why) {
  host_.Tell(Notice::kWarning, why.message());
  return {status, std::nullopt};
}

FileCommandResult RegistrationFileCommands::NotAnswered(const FileAnswer& answer) {
  if (answer.error == 0) return {FileCommandStatus::kUnchanged, std::nullopt};
  host_.Tell(Notice::kDialogFailure, DialogFailureMessage(answer.error));
  return {FileCommandStatus::kFailed, std::nullopt};
}

FileCommandResult RegistrationFileCommands::Use(const std::filesystem::path& path, const std::wstring& name) {
  if (const Status used = editor_.UseFile(path); !used.ok()) return Warned(FileCommandStatus::kFailed, used);
  return {FileCommandStatus::kDone, name};
}

FileCommandResult RegistrationFileCommands::Load(std::wstring_view registrationFile) {
  const LoadOutcome outcome = editor_.Load(PathFromText(registrationFile));
  switch (outcome.kind) {
    case LoadOutcome::kLoaded:
      return {FileCommandStatus::kDone, std::nullopt};
    case LoadOutcome::kRefused:
      host_.Tell(Notice::kWarning, outcome.message);
      return {FileCommandStatus::kRefused, std::wstring()};
    case LoadOutcome::kUnreadable:
      // Another program may hold the file for a while: the record keeps it
      // for the next start, and no other file is offered in its place.
      host_.Tell(Notice::kWarning, outcome.message);
      return {FileCommandStatus::kFailed, std::nullopt};
    case LoadOutcome::kMissing:
      break;
  }
  host_.Tell(Notice::kWarning, outcome.message);
  editor_.SetNoFile();
  host_.ShowEditor();
  return Open(When::kAtLoad);
}

FileCommandResult RegistrationFileCommands::Open(When when) {
  FileCommandResult result = OpenChosen();
  // At load, an answer that gives no file to use leaves none, and the
  // settings file records none; a failed read or write keeps the record.
  const bool noFileChosen =
      result.status == FileCommandStatus::kUnchanged || result.status == FileCommandStatus::kRefused;
  if (when == When::kAtLoad && noFileChosen) {
    editor_.SetNoFile();
    result.fileInUse = std::wstring();
  }
  return result;
}

FileCommandResult RegistrationFileCommands::OpenChosen() {
  const std::wstring initial = editor_.Path().empty() ? std::wstring() : PathText(editor_.Path());
  const std::wstring name = host_.AskFile(FileQuestion::kOpen, initial).path;
  if (name.empty()) return {FileCommandStatus::kUnchanged, std::nullopt};
  if (!Storable(name)) return {FileCommandStatus::kRefused, std::nullopt};
  BusyScope busy(host_);
  const std::filesystem::path path = PathFromText(name);
  // A name taken by anything but a file is not created over: reading it fails.
  if (SomethingExistsAt(path)) {
    const Result<RegistrationHeader> header = ValidateRegistrationFile(path, OpenedBy::kOpenCommand);
    if (!header.ok()) {
      const bool unreadable = header.status().error() == FileError::kRead;
      return Warned(unreadable ? FileCommandStatus::kFailed : FileCommandStatus::kRefused, header.status());
    }
  } else if (const Status created = CreateEmptyRegistrationFile(path); !created.ok()) {
    return Warned(FileCommandStatus::kFailed, created);
  }
  return Use(path, name);
}

FileCommandResult RegistrationFileCommands::New() {
  const Result<std::filesystem::path> untitled = NewUntitledName(programFolder_);
  const FileAnswer answer =
      host_.AskFile(FileQuestion::kNew, untitled.ok() ? PathText(untitled.value()) : std::wstring());
  if (!answer.chosen) return NotAnswered(answer);
  std::wstring name = answer.path;
  if (name.empty()) {
    const Result<std::filesystem::path> fresh = NewUntitledName(programFolder_);
    if (!fresh.ok()) return Warned(FileCommandStatus::kFailed, fresh.status());
    name = PathText(fresh.value());
  }
  if (!Storable(name)) return {FileCommandStatus::kRefused, std::nullopt};
  BusyScope busy(host_);
  // A file that cannot be created leaves the file in use as it was.
  if (const Status created = CreateEmptyRegistrationFile(PathFromText(name)); !created.ok()) {
    return Warned(FileCommandStatus::kFailed, created);
  }
  return Use(PathFromText(name), name);
}

FileCommandResult RegistrationFileCommands::Rename() {
  if (!editor_.HasFile()) return {FileCommandStatus::kUnchanged, std::nullopt};
  const std::wstring current = PathText(editor_.Path());
  // A cancelled dialog gives the current name back: nothing happens.
  const std::wstring name = host_.AskFile(FileQuestion::kRename, current).path;
  if (name.empty() || LowerCase(name) == LowerCase(current)) return {FileCommandStatus::kUnchanged, std::nullopt};
  if (!Storable(name)) return {FileCommandStatus::kRefused, std::nullopt};
  BusyScope busy(host_);
  // The file takes its new name in one step, replacing a file of that name
  // only when the move succeeds: a failure loses neither file.
  const Result<RenameOutcome> renamed = RenameRegistrationFile(editor_.Path(), PathFromText(name));
  if (!renamed.ok()) return Warned(FileCommandStatus::kFailed, renamed.status());
  if (renamed.value() == RenameOutcome::kUnchanged) return {FileCommandStatus::kUnchanged, std::nullopt};
  const int selected = editor_.Selected();
  const Status reread = editor_.FollowRename(PathFromText(name));
  // The same messages under another name: the selected row stays selected.
  editor_.Select(selected);
  if (reread.ok()) return {FileCommandStatus::kDone, name};
  host_.Tell(Notice::kWarning, reread.message());
  // The old name is gone either way: the record follows the editor, which
  // keeps a file that is there but could not be read for the moment.
  return {FileCommandStatus::kFailed, editor_.HasFile() ? name : std::wstring()};
}

FileCommandResult RegistrationFileCommands::Import(bool limitTo100) {
  const FileAnswer answer = host_.AskFile(FileQuestion::kImport, std::wstring());
  if (!answer.chosen) return NotAnswered(answer);
  if (answer.path.empty()) return {FileCommandStatus::kUnchanged, std::nullopt};
  const std::filesystem::path text = PathFromText(answer.path);
  if (!FileExists(text)) {
    host_.Tell(Notice::kWarning, kImportTextMissingMessage);
    return {FileCommandStatus::kRefused, std::nullopt};
  }
  const Result<std::filesystem::path> target = ImportTargetFor(text);
  if (!target.ok()) return Warned(FileCommandStatus::kFailed, target.status());
  if (!Storable(PathText(target.value()))) return {FileCommandStatus::kRefused, std::nullopt};
  std::optional<ImportReport> report;
  FileCommandResult result;
  {
    BusyScope busy(host_);
    // An import that fails leaves the file in use as it was.
    const Result<ImportReport> imported = ImportInto(target.value(), text, limitTo100);
    if (!imported.ok()) {
      // A text file that gives nothing to register is refused for its content.
      const bool refused = imported.status().error() == FileError::kRefused;
      return Warned(refused ? FileCommandStatus::kRefused : FileCommandStatus::kFailed, imported.status());
    }
    report = imported.value();
    result = Use(target.value(), PathText(target.value()));
  }
  if (result.status == FileCommandStatus::kDone) {
    // The report is read over the list it speaks of.
    if (const std::wstring told = ImportReportText(*report); !told.empty()) {
      host_.ShowEditor();
      host_.Tell(Notice::kImported, told);
    }
  }
  return result;
}

FileCommandResult RegistrationFileCommands::Export() {
  const std::wstring initial = editor_.HasFile() ? PathText(ExportNameFor(editor_.Path())) : std::wstring();
  const FileAnswer answer = host_.AskFile(FileQuestion::kExport, initial);
  if (!answer.chosen) return NotAnswered(answer);
  if (answer.path.empty()) return {FileCommandStatus::kUnchanged, std::nullopt};
  if (!editor_.HasFile() || !FileExists(editor_.Path())) {
    host_.Tell(Notice::kWarning, kExportFailedMessage);
    return {FileCommandStatus::kFailed, std::nullopt};
  }
  Status exported;
  {
    BusyScope busy(host_);
    const ExportEncoding encoding = answer.fileType == 2 ? ExportEncoding::kUtf8 : ExportEncoding::kCp932;
    exported = zor::Export(PathFromText(answer.path), editor_.Path(), encoding);
  }
  if (!exported.ok()) {
    host_.Tell(Notice::kWarning, std::wstring(kExportFailedMessage) + L"\r\n" + exported.message());
    return {FileCommandStatus::kFailed, std::nullopt};
  }
  host_.Tell(Notice::kExported, answer.path + L" にエクスポート完了しました");
  return {FileCommandStatus::kDone, std::nullopt};
}

}  // namespace zor
