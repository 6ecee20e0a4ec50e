#include "tool/tool.h"

#include "tool/command.h"

#include <functional>
#include <map>
#include <optional>

#include "core/text/kanji.h"
#include "core/version.h"
#include "tool/font.h"
#include "tool/render.h"

namespace zor::tool {

namespace {

constexpr std::wstring_view kHelpText =
    L"usage: zortool COMMAND [OPTIONS] [ARGS]\n"
    L"\n"
    L"commands:\n"
    L"  date [--formal] [--unit-year] [YYYY/MM/DD]  the date in kanji numerals (default: today)\n"
    L"  time [--formal] [HH:MM:SS]                  the time in kanji numerals (default: now)\n"
    L"\n"
    L"registration files (N is a 1-based message number):\n"
    L"  new FILE                  an empty registration file (an existing one is reset)\n"
    L"  info FILE                 the header: version, count and the display options\n"
    L"  list FILE                 every message, one per line\n"
    L"  add FILE TEXT             a new last message\n"
    L"  edit FILE N TEXT          new text for message N (its format is reset)\n"
    L"  delete FILE N             removes message N\n"
    L"  move FILE N STEP          moves message N by STEP rows (negative = up)\n"
    L"  show FILE N               text and format of message N\n"
    L"  format FILE N [--marks K,K,...|--no-marks] [--emphasis random|marked]\n"
    L"                [--fold K|--auto-fold] [--kind A|B|C|D|none] [--layout A|B|C|none]\n"
    L"  options FILE [--interval MS] [--scheme 0-3] [--emphasis on|off]\n"
    L"               [--order random|registration] [--colour 1-14] [--layout 0-2]\n"
    L"  import TEXTFILE [--no-limit]\n"
    L"         [--encoding auto|cp932|utf-8|utf-16|utf-16le|utf-16be|euc-jp|iso-2022-jp]\n"
    L"                a new registration file from the lines (at most 100); prints its\n"
    L"                name and count, and the report on stderr. auto: a byte-order mark\n"
    L"                decides, else the encoding that reads the whole file cleanly and\n"
    L"                most like Japanese text; a file none reads cleanly is refused.\n"
    L"                utf-16 without a mark takes the more plausible byte order.\n"
    L"                Nothing registered: no file is made (exit 1)\n"
    L"  export FILE [TEXTFILE] [--utf8]  the messages, one per line, CR LF: CP932 text,\n"
    L"                or UTF-8 with a byte-order mark\n"
    L"\n"
    L"title cards and faces (zortool.exe only):\n"
    L"  render FILE N --layout A|B|C --ground black|white --size WxH --out IMAGE.png|.bmp\n"
    L"         [--settings INI] [--seed S]   message N as the test display draws it\n"
    L"  font SETTINGS FACE [FACE...]  when SETTINGS names no face and the default face\n"
    L"                (ＭＳ 明朝) is not installed, writes UseFont = the first installed\n"
    L"                FACE; prints the face the saver will use\n"
    L"\n"
    L"  --formal     formal numerals (壱, 弐, 参, 伍, 拾, 零)\n"
    L"  --unit-year  the year read as a number (千九百九十七) instead of digit by digit\n"
    L"  --help       this text\n"
    L"  --version    the version\n";

// The one value date and time may be given, checked by valid (empty when
// none is given); the usage or refusal exit when the line is wrong.
std::optional<int> ClockArgument(Command& cmd, const Invocation& inv, std::wstring_view name,
                                 std::initializer_list<std::wstring_view> flags, bool (*valid)(std::wstring_view),
                                 std::wstring_view expected, std::wstring& value) {
  std::wstring bad;
  if (!Command::CheckFlags(inv, flags, bad)) return cmd.Usage(L"unknown option for " + std::wstring(name) + L": " + bad);
  if (inv.positional.size() > 1) return cmd.Usage(std::wstring(name) + L" takes at most one " + std::wstring(name));
  if (inv.positional.empty()) return std::nullopt;
  value = inv.positional[0];
  if (valid(value)) return std::nullopt;
  return cmd.Refuse(L"not a " + std::wstring(name) + L": \"" + value + L"\" (expected " + std::wstring(expected) + L")");
}

int DateCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args);
  std::wstring date;
  if (const std::optional<int> rc = ClockArgument(cmd, inv, L"date", {L"--formal", L"--unit-year"}, IsValidDateText,
                                                  L"YYYY/MM/DD, a real calendar day", date)) {
    return *rc;
  }
  return cmd.Print(KanjiDate(Command::Has(inv, L"--formal"), Command::Has(inv, L"--unit-year"), date));
}

int TimeCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args);
  std::wstring time;
  if (const std::optional<int> rc =
          ClockArgument(cmd, inv, L"time", {L"--formal"}, IsValidTimeText, L"HH:MM:SS of the 24-hour clock", time)) {
    return *rc;
  }
  return cmd.Print(KanjiTime(Command::Has(inv, L"--formal"), false, time));
}

}  // namespace

Invocation Split(const std::vector<std::wstring>& args, std::initializer_list<std::wstring_view> withValue) {
  Invocation inv;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    if (!optionsEnded && a == L"--") {
      optionsEnded = true;
    } else if (!optionsEnded && a.size() > 2 && a.starts_with(L"--")) {
      bool takesValue = false;
      for (std::wstring_view v : withValue) takesValue = takesValue || a == v;
      if (!takesValue) {
        inv.flags.push_back(a);
      } else if (i + 1 >= args.size()) {
        inv.error = a + L" needs a value";
      } else if (!inv.values.emplace(a, args[++i]).second) {
        inv.error = a + L" given twice";
      }
    } else {
      inv.positional.push_back(a);
    }
  }
  return inv;
}

int Command::Usage(std::wstring_view reason) {
  err_.Write(L"zortool: ");
  err_.Write(reason);
  err_.Write(L" (zortool --help lists the commands)\n");
  return kUsage;
}

int Command::Refuse(std::wstring_view reason) {
  std::wstring line(reason);
  for (wchar_t& c : line) {
    if (c == L'\r' || c == L'\n') c = L' ';
  }
  std::size_t end = line.size();
  while (end > 0 && line[end - 1] == L' ') --end;
  line.resize(end);
  err_.Write(L"zortool: ");
  err_.Write(line);
  err_.Write(L"\n");
  return kRefused;
}

void Command::Note(std::wstring_view line) {
  err_.Write(L"zortool: ");
  err_.Write(line);
  err_.Write(L"\n");
}

int Command::Print(std::wstring_view line) {
  out_.Write(line);
  out_.Write(L"\n");
  return kDone;
}

bool Command::CheckFlags(const Invocation& inv, std::initializer_list<std::wstring_view> allowed, std::wstring& bad) {
  const auto allowedName = [&](const std::wstring& f) {
    for (std::wstring_view a : allowed) {
      if (f == a) return true;
    }
    return false;
  };
  for (const std::wstring& f : inv.flags) {
    if (!allowedName(f)) {
      bad = f;
      return false;
    }
  }
  for (const auto& [name, value] : inv.values) {
    if (!allowedName(name)) {
      bad = name;
      return false;
    }
  }
  return true;
}

bool Command::Has(const Invocation& inv, std::wstring_view flag) {
  for (const std::wstring& f : inv.flags) {
    if (f == flag) return true;
  }
  return false;
}

int RunTool(const std::vector<std::wstring>& args, Output& out, Output& err) {
  Command cmd(out, err);
  if (args.empty()) return cmd.Usage(L"no command given");
  const std::wstring& name = args[0];
  if (name == L"--help" || name == L"-h" || name == L"help") {
    out.Write(kHelpText);
    return kDone;
  }
  if (name == L"--version") return cmd.Print(L"zortool " + std::wstring(kVersion));

  static const std::map<std::wstring, Handler, std::less<>> kCommands = [] {
    std::map<std::wstring, Handler, std::less<>> table = {
        {L"date", DateCommand},
        {L"time", TimeCommand},
        {L"render", RenderCommand},
        {L"font", FontCommand},
    };
    AddFileCommands(table);
    return table;
  }();
  const auto it = kCommands.find(name);
  if (it == kCommands.end()) return cmd.Usage(L"unknown command: " + name);
  try {
    return it->second(args, cmd);
  } catch (const std::exception&) {
    return cmd.Refuse(L"the command failed (out of memory or an internal error)");
  }
}

}  // namespace zor::tool
