// The message entry form: one message typed to be added or to replace the
// selected one. OK is offered only for a text the file can hold.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "core/data/status.h"

namespace zor {

class ListEditor;

inline constexpr std::wstring_view kAddCaption = L"文章の追加登録";
inline constexpr std::wstring_view kCorrectCaption = L"文章の訂正";

class MessageEntry {
 public:
  enum class Purpose { kAdd, kCorrect };

  // An empty text to add.
  static MessageEntry ForAdd() { return MessageEntry(Purpose::kAdd, {}); }
  // The selected row's text, trimmed of blanks, wholly selected.
  static MessageEntry ForCorrect(std::wstring_view rowText);

  [[nodiscard]] Purpose purpose() const { return purpose_; }
  [[nodiscard]] std::wstring_view Caption() const { return purpose_ == Purpose::kAdd ? kAddCaption : kCorrectCaption; }
  // The text the form opens with and how much of it is selected (UTF-16 units from the start).
  [[nodiscard]] const std::wstring& InitialText() const { return initial_; }
  [[nodiscard]] std::size_t InitialSelectionLength() const;

  // The typed or pasted text, look-alikes replaced by the characters code
  // page 932 holds (the form shows Text() when it differs from what was typed).
  void SetText(std::wstring_view text);
  [[nodiscard]] const std::wstring& Text() const { return text_; }
  // The line under the text: its length as the length rule counts it
  // against the limit, and while OK is disabled for a text, the reason.
  [[nodiscard]] std::wstring StatusLine() const;
  // The text is stored exactly as typed (blanks at either end count): OK and
  // Enter act when TextRefusal has no objection.
  [[nodiscard]] bool OkEnabled() const;

  // OK: adds the text, or corrects the editor's selected row. A text OK
  // would not accept is refused without touching the file.
  [[nodiscard]] Status Commit(ListEditor& editor) const;

 private:
  MessageEntry(Purpose purpose, std::wstring text) : purpose_(purpose), initial_(text), text_(std::move(text)) {}

  Purpose purpose_;
  std::wstring initial_;
  std::wstring text_;
};

}  // namespace zor
