#include "win/settings_dialog/file_command_dialogs.h"

#include <commdlg.h>

#include <initializer_list>

namespace zor::win {

namespace {

// A file dialog filter: names and patterns, each ended by a NUL, and one more NUL.
std::wstring Filter(std::initializer_list<std::wstring_view> parts) {
  std::wstring f;
  for (std::wstring_view p : parts) {
    f += p;
    f += L'\0';
  }
  f += L'\0';
  return f;
}

}  // namespace

FileDialogRequest FileDialogFor(FileQuestion question, const std::wstring& initialName) {
  static const std::wstring registrationFilter = Filter({L"ZORANTE(*.zrd)", L"*.zrd"});
  static const std::wstring textFilter =
      Filter({L"テキストファイル(*.txt)", L"*.txt", L"すべてのファイル(*.*)", L"*.*"});
  // The export's types are its encodings (the command reads the second as UTF-8).
  static const std::wstring exportFilter =
      Filter({L"テキスト Shift_JIS (*.txt)", L"*.txt", L"テキスト UTF-8 (*.txt)", L"*.txt"});
  FileDialogRequest request;
  request.initialName = initialName;
  const auto ask = [&request](bool save, const wchar_t* title, DWORD flags) {
    request.save = save;
    request.title = title;
    request.flags = flags | OFN_HIDEREADONLY | OFN_LONGNAMES;
  };
  switch (question) {
    case FileQuestion::kOpen: ask(false, L"登録ファイルを開く", OFN_CREATEPROMPT); break;
    case FileQuestion::kNew: ask(true, L"新規登録ファイル", OFN_OVERWRITEPROMPT); break;
    case FileQuestion::kRename: ask(true, L"登録ファイル名の変更", OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST); break;
    case FileQuestion::kImport: ask(false, L"インポート", OFN_FILEMUSTEXIST); break;
    case FileQuestion::kExport: ask(true, L"エクスポート", OFN_OVERWRITEPROMPT); break;
  }
  const bool text = question == FileQuestion::kImport || question == FileQuestion::kExport;
  request.filter = question == FileQuestion::kExport ? exportFilter : text ? textFilter : registrationFilter;
  if (question != FileQuestion::kImport) request.defaultExtension = text ? L"txt" : L"zrd";
  return request;
}

FileAnswer FileCommandDialogs::AskFile(FileQuestion question, const std::wstring& initialName) {
  const FileDialogAnswer answer = services_.AskFile(owner_, FileDialogFor(question, initialName));
  return FileAnswer{answer.chosen, answer.path, answer.error, static_cast<int>(answer.fileType)};
}

void FileCommandDialogs::Tell(Notice notice, std::wstring_view text) {
  switch (notice) {
    case Notice::kWarning:
      services_.Warn(owner_, text);
      break;
    case Notice::kDialogFailure:
      services_.Message(owner_, text, MB_OK | MB_ICONWARNING, L"");
      break;
    case Notice::kExported:
    case Notice::kImported:
      services_.Message(owner_, text, MB_OK | MB_ICONINFORMATION, L"ZORANTE");
      break;
  }
}

void FileCommandDialogs::Busy(bool busy) {
  if (busy) {
    wait_.emplace();
  } else {
    wait_.reset();
  }
}

}  // namespace zor::win
