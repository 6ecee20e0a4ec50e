// What the zortool commands share: the split command line and the two streams.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tool/tool.h"

namespace zor::tool {

struct Invocation {
  std::vector<std::wstring> flags;                 // options without a value, "--" prefixed
  std::map<std::wstring, std::wstring> values;     // options with a value
  std::vector<std::wstring> positional;            // everything else
  std::wstring error;                              // set when the line cannot be split
};

// Splits args (args[0] is the command). Options named in withValue take the
// next argument as their value; "--" ends the options.
[[nodiscard]] Invocation Split(const std::vector<std::wstring>& args,
                               std::initializer_list<std::wstring_view> withValue = {});

class Command {
 public:
  Command(Output& out, Output& err) : out_(out), err_(err) {}

  int Usage(std::wstring_view reason);
  // One line on stderr; line breaks inside the reason become blanks.
  int Refuse(std::wstring_view reason);
  int Print(std::wstring_view line);
  // One line on stderr that reports, not refuses.
  void Note(std::wstring_view line);

  // Checks that every option given is one of the allowed ones.
  [[nodiscard]] static bool CheckFlags(const Invocation& inv, std::initializer_list<std::wstring_view> allowed,
                                       std::wstring& bad);
  [[nodiscard]] static bool Has(const Invocation& inv, std::wstring_view flag);

 private:
  Output& out_;
  Output& err_;
};

using Handler = int (*)(const std::vector<std::wstring>& args, Command& cmd);

// The commands on registration and text files.
void AddFileCommands(std::map<std::wstring, Handler, std::less<>>& table);

}  // namespace zor::tool
