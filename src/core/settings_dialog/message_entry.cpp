#include "core/settings_dialog/message_entry.h"

#include "core/data/registration_file.h"
#include "core/settings_dialog/list_editor.h"
#include "core/text/measures.h"
#include "core/text/unicode.h"

namespace zor {

MessageEntry MessageEntry::ForCorrect(std::wstring_view rowText) {
  return MessageEntry(Purpose::kCorrect, Trim(rowText));
}

std::size_t MessageEntry::InitialSelectionLength() const { return Utf16Length(initial_); }

bool MessageEntry::OkEnabled() const { return TextRefusal(text_).empty(); }

Status MessageEntry::Commit(ListEditor& editor) const {
  if (std::wstring why = TextRefusal(text_); !why.empty()) return Status::Fail(FileError::kRefused, std::move(why));
  return purpose_ == Purpose::kAdd ? editor.Add(text_) : editor.Correct(text_);
}

}  // namespace zor
