// zortool render FILE N --layout A|B|C --ground black|white --size WxH --out IMAGE
//                [--settings INI] [--seed S]
#pragma once

#include <string>
#include <vector>

#include "tool/command.h"

namespace zor::tool {

[[nodiscard]] int RenderCommand(const std::vector<std::wstring>& args, Command& cmd);

}  // namespace zor::tool
