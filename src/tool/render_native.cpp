#include "tool/render.h"

namespace zor::tool {

// Drawing needs the Windows fonts and GDI: only zortool.exe renders.
int RenderCommand(const std::vector<std::wstring>&, Command& cmd) {
  return cmd.Refuse(L"render draws with the Windows fonts: use zortool.exe (under Wine on Linux)");
}

}  // namespace zor::tool
