// Owner-drawn pictures that stand for a choice, made usable without a mouse
// and named for screen readers: each group is one tab stop (the picture
// focused last holds it), the arrow keys move the focus within the group,
// Space and Enter act as a click, the focused picture shows a focus
// rectangle, and the accessible object reports the picture's window text as
// its name, a role and, for an option, whether it is the one chosen.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings_dialog/keyboard_moves.h"

namespace zor::win {

// What a screen reader is told the picture is.
enum class ChoiceRole { kOption, kToggle, kButton, kLink };

struct PictureGroup {
  std::vector<HWND> controls;  // in the order the arrow keys pass them
  ChoiceRole role = ChoiceRole::kOption;
  // Whether the picture at index stands for the current choice; none: never.
  std::function<bool(int index)> checked;
  // What a screen reader adds after the name of the picture at index; none: nothing.
  std::function<std::wstring(int index)> described;
  // Space or Enter on the picture at index; none: the picture's parent gets
  // STN_CLICKED as from a click.
  std::function<void(int index, bool shift)> activated;
  // Where an arrow, Home or End takes the focus from index; none: MoveInGroup.
  std::function<int(int index, KeyMove move)> moved;
  // Whether Enter acts as Space does; else it presses the default button.
  bool enterActs = true;
  // The focus rectangle's distance from the picture's edge at 96 DPI.
  int focusInset = 2;
};

class PictureChoices {
 public:
  PictureChoices() = default;
  ~PictureChoices();
  PictureChoices(const PictureChoices&) = delete;
  PictureChoices& operator=(const PictureChoices&) = delete;

  // The controls (statics of one dialog, in its tab order where the first
  // has WS_TABSTOP) become a group.
  void Add(PictureGroup group);
  // The picture at index of the group added as number group takes the tab
  // stop, so Tab comes back to it.
  void GiveTabStop(std::size_t group, int index);
  // In each group of options the keyboard is not in, the chosen picture
  // takes the tab stop, as the checked one of a group of option buttons does.
  // Called after a choice may have changed by other means than the keys.
  void FollowChoice();

 private:
  struct Member {
    PictureChoices* owner;
    std::size_t group;
    int index;
    HWND control;
  };
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) noexcept;
  bool Key(const Member& m, WPARAM key);
  [[nodiscard]] bool IsChecked(const Member& m) const;
  [[nodiscard]] std::wstring DescriptionOf(const Member& m) const;
  void FollowChoice(std::size_t group);

  std::vector<PictureGroup> groups_;
  std::vector<std::unique_ptr<Member>> members_;
};

// A caption as a screen reader speaks it: without its access key, "(&X)" or
// the "&" before a letter ("&&" stays one "&").
[[nodiscard]] std::wstring WithoutAccessKey(std::wstring_view caption);

// A control that shows no text of its own (a blank button, a scroll bar)
// tells screen readers name instead.
void NameForScreenReaders(HWND control, std::wstring name);

}  // namespace zor::win
