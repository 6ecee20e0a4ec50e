// zortool font SETTINGS FACE [FACE...]: a face for a system without the
// default one, written where the saver reads it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/settings.h"
#include "core/data/status.h"
#include "tool/command.h"

namespace zor::tool {

struct FaceChoice {
  std::wstring face;     // the face the saver will draw with
  bool written = false;  // "UseFont" was written to give it
};

using FaceQuery = std::function<bool(std::wstring_view face)>;

// When the settings name no face ("UseFont" absent or blank) and the default
// face is not installed, writes "UseFont" = the first installed candidate.
// A face already named is kept whether installed or not: it is the user's.
// Fails, writing nothing, when neither the default nor a candidate is installed.
[[nodiscard]] Result<FaceChoice> ChooseFace(ProfileStore& store, const std::vector<std::wstring>& candidates,
                                            const FaceQuery& installed);

// True when "UseFont" = face reads back as that face and a font family can
// bear the name.
[[nodiscard]] bool UsableFaceName(std::wstring_view face);

[[nodiscard]] int FontCommand(const std::vector<std::wstring>& args, Command& cmd);

}  // namespace zor::tool
