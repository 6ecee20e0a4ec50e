// The plain layouts of messages that hold half-width characters: the whole
// message in one type size, on one line or folded into two, bottom-left
// (`ZOR00b2`), top-right (`ZOR01b2`) or centred (`DrawCentred`).
#pragma once

#include <string>
#include <string_view>

#include "core/screen/page_frame.h"

namespace zor {

// The message cut where GetFoldPos says: one line, or two (the second may
// be empty when the fold falls on the last byte).
struct PlainLines {
  std::wstring first;
  std::wstring second;
  int count = 1;
};
[[nodiscard]] PlainLines SplitPlainLines(std::wstring_view text);

// Each draws one page of request.text; invertColours is settled by the
// frame and passed back.
[[nodiscard]] PageResult ZOR00b2(CardContext& context, const CardRequest& request, bool& invertColours);
[[nodiscard]] PageResult ZOR01b2(CardContext& context, const CardRequest& request, bool& invertColours);
[[nodiscard]] PageResult DrawCentred(CardContext& context, const CardRequest& request, bool& invertColours);

}  // namespace zor
