#include "core/settings_dialog/message_entry.h"

#include "core/data/registration_file.h"
#include "core/settings_dialog/list_editor.h"
#include "core/text/cp932.h"
#include "core/text/look_alikes.h"
#include "core/text/measures.h"
#include "core/text/unicode.h"

namespace zor {

MessageEntry MessageEntry::ForCorrect(std::wstring_view rowText) {
  return MessageEntry(Purpose::kCorrect, Trim(rowText));
}

std::size_t MessageEntry::InitialSelectionLength() const { return Utf16Length(initial_); }

void MessageEntry::SetText(std::wstring_view text) { text_ = ReplaceLookAlikes(text); }

std::wstring MessageEntry::StatusLine() const {
  std::wstring line;
  if (ContainsHalfWidth(text_)) {
    line = std::to_wstring(Cp932Length(text_)) + L" / " + std::to_wstring(kMaxHalfWidthBytes) + L" 文字（半角換算）";
  } else {
    line = std::to_wstring(Utf16Length(text_)) + L" / " + std::to_wstring(kMaxFullWidthChars) + L" 文字（全角）";
  }
  std::wstring why;
  if (text_.find_first_of(L"\r\n") != std::wstring::npos) {
    why = L"改行は使えません";
  } else if (const std::wstring outside = CharactersOutsideCp932(text_); !outside.empty()) {
    why = L"Shift_JIS で保存できない文字: " + outside;
  } else if (!text_.empty() && !AcceptableMessage(text_)) {
    why = L"長すぎます";
  }
  if (!why.empty()) line += L"　" + why;
  return line;
}

bool MessageEntry::OkEnabled() const { return TextRefusal(text_).empty(); }

Status MessageEntry::Commit(ListEditor& editor) const {
  if (std::wstring why = TextRefusal(text_); !why.empty()) return Status::Fail(FileError::kRefused, std::move(why));
  return purpose_ == Purpose::kAdd ? editor.Add(text_) : editor.Correct(text_);
}

}  // namespace zor
