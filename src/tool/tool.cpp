#include "tool/tool.h"

#include <functional>
#include <map>

#include "core/text/kanji.h"
#include "core/version.h"

namespace zor::tool {

namespace {

constexpr std::wstring_view kHelpText =
    L"usage: zortool COMMAND [OPTIONS] [ARGS]\n"
    L"\n"
    L"commands:\n"
    L"  date [--formal] [--unit-year] [YYYY/MM/DD]  the date in kanji numerals (default: today)\n"
    L"  time [--formal] [HH:MM:SS]                  the time in kanji numerals (default: now)\n"
    L"\n"
    L"  --formal     formal numerals (壱, 弐, 参, 伍, 拾, 零)\n"
    L"  --unit-year  the year read as a number (千九百九十七) instead of digit by digit\n"
    L"  --help       this text\n"
    L"  --version    the version\n";

struct Invocation {
  std::vector<std::wstring> flags;       // options given, "--" prefixed
  std::vector<std::wstring> positional;  // everything else
};

Invocation Split(const std::vector<std::wstring>& args) {
  Invocation inv;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    if (!optionsEnded && a == L"--") {
      optionsEnded = true;
    } else if (!optionsEnded && a.size() > 2 && a.starts_with(L"--")) {
      inv.flags.push_back(a);
    } else {
      inv.positional.push_back(a);
    }
  }
  return inv;
}

class Command {
 public:
  Command(Output& out, Output& err) : out_(out), err_(err) {}

  int Usage(std::wstring_view reason) {
    err_.Write(L"zortool: ");
    err_.Write(reason);
    err_.Write(L" (zortool --help lists the commands)\n");
    return kUsage;
  }

  int Refuse(std::wstring_view reason) {
    err_.Write(L"zortool: ");
    err_.Write(reason);
    err_.Write(L"\n");
    return kRefused;
  }

  int Print(std::wstring_view line) {
    out_.Write(line);
    out_.Write(L"\n");
    return kDone;
  }

  // Checks that every flag is one of the allowed ones.
  bool CheckFlags(const Invocation& inv, std::initializer_list<std::wstring_view> allowed, std::wstring& bad) const {
    for (const std::wstring& f : inv.flags) {
      bool ok = false;
      for (std::wstring_view a : allowed) ok = ok || f == a;
      if (!ok) {
        bad = f;
        return false;
      }
    }
    return true;
  }

  static bool Has(const Invocation& inv, std::wstring_view flag) {
    for (const std::wstring& f : inv.flags) {
      if (f == flag) return true;
    }
    return false;
  }

 private:
  Output& out_;
  Output& err_;
};

int DateCommand(const Invocation& inv, Command& cmd) {
  std::wstring bad;
  if (!cmd.CheckFlags(inv, {L"--formal", L"--unit-year"}, bad)) return cmd.Usage(L"unknown option for date: " + bad);
  if (inv.positional.size() > 1) return cmd.Usage(L"date takes at most one date");
  std::wstring date;
  if (!inv.positional.empty()) {
    date = inv.positional[0];
    if (!IsValidDateText(date)) {
      return cmd.Refuse(L"not a date: \"" + date + L"\" (expected YYYY/MM/DD, a real calendar day)");
    }
  }
  return cmd.Print(KanjiDate(Command::Has(inv, L"--formal"), Command::Has(inv, L"--unit-year"), date));
}

int TimeCommand(const Invocation& inv, Command& cmd) {
  std::wstring bad;
  if (!cmd.CheckFlags(inv, {L"--formal"}, bad)) return cmd.Usage(L"unknown option for time: " + bad);
  if (inv.positional.size() > 1) return cmd.Usage(L"time takes at most one time");
  std::wstring time;
  if (!inv.positional.empty()) {
    time = inv.positional[0];
    if (!IsValidTimeText(time)) {
      return cmd.Refuse(L"not a time: \"" + time + L"\" (expected HH:MM:SS of the 24-hour clock)");
    }
  }
  return cmd.Print(KanjiTime(Command::Has(inv, L"--formal"), false, time));
}

}  // namespace

int RunTool(const std::vector<std::wstring>& args, Output& out, Output& err) {
  Command cmd(out, err);
  if (args.empty()) return cmd.Usage(L"no command given");
  const std::wstring& name = args[0];
  if (name == L"--help" || name == L"-h" || name == L"help") {
    out.Write(kHelpText);
    return kDone;
  }
  if (name == L"--version") return cmd.Print(L"zortool " + std::wstring(kVersion));

  using Handler = std::function<int(const Invocation&, Command&)>;
  static const std::map<std::wstring, Handler, std::less<>> kCommands = {
      {L"date", DateCommand},
      {L"time", TimeCommand},
  };
  const auto it = kCommands.find(name);
  if (it == kCommands.end()) return cmd.Usage(L"unknown command: " + name);
  try {
    return it->second(Split(args), cmd);
  } catch (const std::exception&) {
    return cmd.Refuse(L"the command failed (out of memory or an internal error)");
  }
}

}  // namespace zor::tool
