// zortool commands on registration files and plain text files.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/data/text_exchange.h"
#include "core/settings_dialog/display_options.h"
#include "core/settings_dialog/line_format.h"
#include "core/text/look_alikes.h"
#include "core/text/numbers.h"
#include "tool/command.h"

namespace zor::tool {

namespace {

// A decimal integer of the whole text, optionally signed; false otherwise.
// A number too long to hold is held at the limit: the callers refuse it by range.
bool ParseInteger(std::wstring_view text, long long& value) {
  const std::optional<long long> n = ParseDecimal(text);
  if (n) value = *n;
  return n.has_value();
}

// Message numbers outside int range cannot name a record: they become 0,
// which every command refuses as "no such message".
bool ParseRow(std::wstring_view text, int& row) {
  long long v = 0;
  if (ParseInteger(text, v)) {
    row = v < 1 || v > std::numeric_limits<int>::max() ? 0 : static_cast<int>(v);
    return true;
  }
  return false;
}

// Control characters would break the one-message-per-line output.
std::wstring Printable(std::wstring text) {
  for (wchar_t& c : text) {
    if (c < 0x20 && c != L'\t') c = L'?';
  }
  return text;
}

int Report(Command& cmd, const Status& s) { return s.ok() ? kDone : cmd.Refuse(s.message()); }

// The usage exit when the second positional argument is not a message number;
// none when it is, with row set.
std::optional<int> RowMisuse(Command& cmd, const Invocation& inv, std::wstring_view name, int& row) {
  if (ParseRow(inv.positional[1], row)) return std::nullopt;
  return cmd.Usage(std::wstring(name) + L": not a message number: " + inv.positional[1]);
}

// The usage exit of an invocation that could not be split, gives an option
// not among options or a number of positional arguments outside
// minArgs..maxArgs, or (when row is given) whose second positional argument
// is not a message number; none when it is well formed.
std::optional<int> Misuse(Command& cmd, const Invocation& inv, std::wstring_view name,
                          std::initializer_list<std::wstring_view> options, std::size_t minArgs, std::size_t maxArgs,
                          int* row = nullptr) {
  std::wstring bad;
  if (!inv.error.empty()) return cmd.Usage(inv.error);
  if (!Command::CheckFlags(inv, options, bad)) return cmd.Usage(L"unknown option for " + std::wstring(name) + L": " + bad);
  if (inv.positional.size() < minArgs || inv.positional.size() > maxArgs) {
    return cmd.Usage(std::wstring(name) + L": wrong number of arguments");
  }
  return row ? RowMisuse(cmd, inv, name, *row) : std::nullopt;
}

int NewCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args);
  if (const std::optional<int> rc = Misuse(cmd, inv, L"new", {}, 1, 1)) return *rc;
  return Report(cmd, CreateEmptyRegistrationFile(PathFromText(inv.positional[0])));
}

int InfoCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args);
  if (const std::optional<int> rc = Misuse(cmd, inv, L"info", {}, 1, 1)) return *rc;
  const Result<RegistrationHeader> h = ValidateRegistrationFile(PathFromText(inv.positional[0]));
  if (!h.ok()) return cmd.Refuse(h.status().message());
  const RegistrationHeader& v = h.value();
  const std::pair<const wchar_t*, int> lines[] = {
      {L"version", v.version},         {L"count", v.count},           {L"interval", v.options.interval},
      {L"scheme", v.options.scheme},   {L"emphasis", v.options.emphasisOn}, {L"order", v.options.order},
      {L"colour", v.options.colour},   {L"layout", v.options.layout},
  };
  for (const auto& [name, value] : lines) cmd.Print(std::wstring(name) + L" " + std::to_wstring(value));
  return kDone;
}

int ListCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args);
  if (const std::optional<int> rc = Misuse(cmd, inv, L"list", {}, 1, 1)) return *rc;
  const Result<std::vector<std::wstring>> texts = ReadMessages(PathFromText(inv.positional[0]));
  if (!texts.ok()) return cmd.Refuse(texts.status().message());
  for (const std::wstring& t : texts.value()) cmd.Print(Printable(t));
  return kDone;
}

int AddCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args);
  if (const std::optional<int> rc = Misuse(cmd, inv, L"add", {}, 2, 2)) return *rc;
  // The look-alikes the entry form and the import store as CP932 holds them.
  return Report(cmd, AddMessage(PathFromText(inv.positional[0]), ReplaceLookAlikes(inv.positional[1])));
}

int EditCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args);
  int row = 0;
  if (const std::optional<int> rc = Misuse(cmd, inv, L"edit", {}, 3, 3, &row)) return *rc;
  return Report(cmd, EditMessage(PathFromText(inv.positional[0]), row, ReplaceLookAlikes(inv.positional[2])));
}

int DeleteCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args);
  int row = 0;
  if (const std::optional<int> rc = Misuse(cmd, inv, L"delete", {}, 2, 2, &row)) return *rc;
  return Report(cmd, DeleteMessage(PathFromText(inv.positional[0]), row));
}

int MoveCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args);
  int row = 0;
  if (const std::optional<int> rc = Misuse(cmd, inv, L"move", {}, 3, 3, &row)) return *rc;
  long long step = 0;
  if (!ParseInteger(inv.positional[2], step)) return cmd.Usage(L"move: not a step: " + inv.positional[2]);
  // Any step beyond the 500 rows clamps at the ends anyway.
  const int clamped = static_cast<int>(std::clamp<long long>(step, -kMaxMessages, kMaxMessages));
  return Report(cmd, MoveMessage(PathFromText(inv.positional[0]), row, clamped));
}

const wchar_t* KindName(FoldKind k) {
  switch (k) {
    case FoldKind::kA: return L"A";
    case FoldKind::kB: return L"B";
    case FoldKind::kC: return L"C";
    case FoldKind::kD: return L"D";
    case FoldKind::kNone: break;
  }
  return L"none";
}

const wchar_t* LayoutName(FixedLayout l) {
  switch (l) {
    case FixedLayout::kA: return L"A";
    case FixedLayout::kB: return L"B";
    case FixedLayout::kC: return L"C";
    case FixedLayout::kNone: break;
  }
  return L"none";
}

int ShowCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args);
  int row = 0;
  if (const std::optional<int> rc = Misuse(cmd, inv, L"show", {}, 2, 2, &row)) return *rc;
  const Result<Message> m = ReadMessage(PathFromText(inv.positional[0]), row);
  if (!m.ok()) return cmd.Refuse(m.status().message());
  const MessageFormat& f = m.value().format;
  std::wstring marks;
  for (std::size_t k = 1; k <= kMarkCount; ++k) {
    if (f.Marked(k)) marks += (marks.empty() ? L"" : L",") + std::to_wstring(k);
  }
  const EmphasisMode mode = f.Emphasis();
  cmd.Print(L"text " + Printable(m.value().text));
  cmd.Print(L"marks " + (marks.empty() ? std::wstring(L"-") : marks));
  cmd.Print(std::wstring(L"emphasis ") +
            (mode == EmphasisMode::kRandom ? L"random" : mode == EmphasisMode::kMarked ? L"marked" : L"none"));
  cmd.Print(f.FoldPosition() == 0 ? std::wstring(L"fold auto") : L"fold " + std::to_wstring(f.FoldPosition()));
  cmd.Print(std::wstring(L"kind ") + KindName(f.Kind()));
  cmd.Print(std::wstring(L"layout ") + LayoutName(f.Layout()));
  return kDone;
}

// Parses "K,K,…" of character positions 1..limit.
bool ParseMarks(std::wstring_view text, std::size_t limit, std::vector<std::size_t>& out, std::wstring& why) {
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(L',', start), text.size());
    long long k = 0;
    if (!ParseInteger(text.substr(start, comma - start), k)) {
      why = L"--marks: not a list of character positions: " + std::wstring(text);
      return false;
    }
    if (k < 1 || static_cast<unsigned long long>(k) > limit) {
      why = L"--marks: position " + std::to_wstring(k) + L" is outside the message's " + std::to_wstring(limit) +
            L" characters";
      return false;
    }
    out.push_back(static_cast<std::size_t>(k));
    start = comma + 1;
  }
  return true;
}

int FormatCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args, {L"--marks", L"--emphasis", L"--fold", L"--kind", L"--layout"});
  const std::optional<int> misuse = Misuse(
      cmd, inv, L"format", {L"--marks", L"--no-marks", L"--emphasis", L"--fold", L"--auto-fold", L"--kind", L"--layout"},
      2, 2);
  if (misuse) return *misuse;
  const auto value = [&](const wchar_t* name) -> const std::wstring* {
    const auto it = inv.values.find(name);
    return it == inv.values.end() ? nullptr : &it->second;
  };
  if (value(L"--marks") && Command::Has(inv, L"--no-marks")) return cmd.Usage(L"format: --marks or --no-marks, not both");
  if (value(L"--fold") && Command::Has(inv, L"--auto-fold")) return cmd.Usage(L"format: --fold or --auto-fold, not both");
  int row = 0;
  if (const std::optional<int> rc = RowMisuse(cmd, inv, L"format", row)) return *rc;

  // Values first: a usage error must not depend on the file.
  std::optional<EmphasisMode> emphasis;
  if (const std::wstring* e = value(L"--emphasis")) {
    if (*e == L"random") emphasis = EmphasisMode::kRandom;
    else if (*e == L"marked") emphasis = EmphasisMode::kMarked;
    else return cmd.Usage(L"format: --emphasis takes random or marked");
  }
  // "none" is the blank kind the dialog's marker steps to after "D".
  std::optional<char> kind;
  if (const std::wstring* k = value(L"--kind")) {
    const std::pair<const wchar_t*, char> kinds[] = {{L"A", 'A'}, {L"B", 'B'}, {L"C", 'C'}, {L"D", 'D'}, {L"none", ' '}};
    for (const auto& [n, v] : kinds) {
      if (*k == n) kind = v;
    }
    if (!kind) return cmd.Usage(L"format: --kind takes A, B, C, D or none");
  }
  std::optional<int> layout;  // the dialog's layout option 0..3
  if (const std::wstring* l = value(L"--layout")) {
    const std::pair<const wchar_t*, int> layouts[] = {{L"none", 0}, {L"A", 1}, {L"B", 2}, {L"C", 3}};
    for (const auto& [n, v] : layouts) {
      if (*l == n) layout = v;
    }
    if (!layout) return cmd.Usage(L"format: --layout takes A, B, C or none");
  }
  long long fold = 0;
  if (const std::wstring* f = value(L"--fold"); f && !ParseInteger(*f, fold)) {
    return cmd.Usage(L"format: --fold takes a character position");
  }

  const std::filesystem::path path = PathFromText(inv.positional[0]);
  const Result<RegistrationHeader> header = ValidateRegistrationFile(path);
  if (!header.ok()) return cmd.Refuse(header.status().message());
  const Result<Message> m = ReadMessage(path, row);
  if (!m.ok()) return cmd.Refuse(m.status().message());
  // The format dialog opened on the message, driven through its setters.
  LineFormatModel model(m.value().text, m.value().format, header.value().options.emphasisOn != 0);
  const auto length = static_cast<std::size_t>(model.CellCount());

  const bool touchesCharacters = value(L"--marks") || Command::Has(inv, L"--no-marks") || emphasis ||
                                 value(L"--fold") || Command::Has(inv, L"--auto-fold") || kind;
  if (model.HalfWidth() && touchesCharacters) {
    return cmd.Refuse(L"message " + std::to_wstring(row) +
                      L" holds half-width characters: only --layout applies to it");
  }
  if ((value(L"--marks") || Command::Has(inv, L"--no-marks") || emphasis) && !model.EmphasisOn()) {
    return cmd.Refuse(L"colour emphasis is off for this file (zortool options FILE --emphasis on)");
  }
  if (const std::wstring* marks = value(L"--marks")) {
    std::vector<std::size_t> positions;
    std::wstring why;
    if (!ParseMarks(*marks, length, positions, why)) return cmd.Refuse(why);
    std::vector<int> cells;
    for (std::size_t k : positions) cells.push_back(static_cast<int>(k) - 1);
    if (!model.SetMarks(cells)) return cmd.Refuse(L"--marks: the marks cannot be set on this message");
  }
  if (Command::Has(inv, L"--no-marks") && !model.SetMarks({})) {
    return cmd.Refuse(L"--no-marks: the marks cannot be set on this message");
  }
  if (emphasis) model.SetRandomEmphasis(*emphasis == EmphasisMode::kRandom);
  if (value(L"--fold")) {
    if (fold < 1 || static_cast<unsigned long long>(fold) > length ||
        !model.PlaceFold(static_cast<int>(fold) - 1, kind)) {
      return cmd.Refuse(L"--fold: position " + std::to_wstring(fold) + L" is outside the message's " +
                        std::to_wstring(length) + L" characters");
    }
  } else if (Command::Has(inv, L"--auto-fold")) {
    if (kind) return cmd.Usage(L"format: --kind needs a fold position");
    model.SetAutoFold(true);
  } else if (kind && !model.SetFoldKind(*kind)) {
    return cmd.Refuse(L"--kind: message " + std::to_wstring(row) + L" has no fold position (give --fold K)");
  }
  if (layout) model.SelectLayout(*layout);
  return Report(cmd, WriteMessageFormat(path, row, model.Bytes()));
}

// Parses an option value in lo..hi or one of named values.
bool OptionValue(const Invocation& inv, const wchar_t* name, int lo, int hi,
                 std::initializer_list<std::pair<const wchar_t*, int>> names, std::int16_t& field, std::wstring& why) {
  const auto it = inv.values.find(name);
  if (it == inv.values.end()) return true;
  for (const auto& [n, v] : names) {
    if (it->second == n) {
      field = static_cast<std::int16_t>(v);
      return true;
    }
  }
  long long v = 0;
  if (names.size() == 0 && ParseInteger(it->second, v) && v >= lo && v <= hi) {
    field = static_cast<std::int16_t>(v);
    return true;
  }
  why = std::wstring(name) + L": not an accepted value: " + it->second;
  return false;
}

int OptionsCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const std::initializer_list<std::wstring_view> names = {L"--interval", L"--scheme", L"--emphasis",
                                                          L"--order",    L"--colour", L"--layout"};
  const Invocation inv = Split(args, names);
  if (const std::optional<int> rc = Misuse(cmd, inv, L"options", names, 1, 1)) return *rc;
  if (inv.values.empty()) return cmd.Usage(L"options: give at least one option to set");
  const std::filesystem::path path = PathFromText(inv.positional[0]);

  // The options dialog opened on the file, the given options set, then its "OK".
  DisplayOptions o;
  std::wstring why;
  const bool valid = OptionValue(inv, L"--interval", 1000, 11000, {}, o.interval, why) &&
                     OptionValue(inv, L"--scheme", 0, 3, {}, o.scheme, why) &&
                     OptionValue(inv, L"--emphasis", 0, 0, {{L"on", -1}, {L"off", 0}}, o.emphasisOn, why) &&
                     OptionValue(inv, L"--order", 0, 0, {{L"random", 0}, {L"registration", 1}}, o.order, why) &&
                     OptionValue(inv, L"--colour", 1, 14, {}, o.colour, why) &&
                     OptionValue(inv, L"--layout", 0, 2, {}, o.layout, why);
  if (!valid) return cmd.Usage(L"options: " + why);

  const Result<RegistrationHeader> header = ValidateRegistrationFile(path);
  if (!header.ok()) return cmd.Refuse(header.status().message());
  DisplayOptionsModel model(header.value().options);
  const auto given = [&](const wchar_t* name) { return inv.values.contains(name); };
  if (given(L"--interval")) model.SetInterval(o.interval);
  if (given(L"--scheme")) model.SetScheme(o.scheme);
  if (given(L"--emphasis")) model.SetEmphasisOn(o.emphasisOn != 0);
  if (given(L"--order")) model.SetOrder(o.order);
  if (given(L"--colour")) model.SetColour(o.colour);
  if (given(L"--layout")) model.SetLayout(o.layout);
  return Report(cmd, WriteDisplayOptions(path, model.Result()));
}

int ImportCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args, {L"--encoding"});
  if (const std::optional<int> rc = Misuse(cmd, inv, L"import", {L"--no-limit", L"--encoding"}, 1, 1)) return *rc;
  EncodingChoice choice = EncodingChoice::kAuto;
  if (const auto given = inv.values.find(L"--encoding"); given != inv.values.end()) {
    const std::pair<const wchar_t*, EncodingChoice> names[] = {
        {L"auto", EncodingChoice::kAuto},          {L"cp932", EncodingChoice::kCp932},
        {L"utf-8", EncodingChoice::kUtf8},         {L"utf-16", EncodingChoice::kUtf16},
        {L"utf-16le", EncodingChoice::kUtf16Le},   {L"utf-16be", EncodingChoice::kUtf16Be},
        {L"euc-jp", EncodingChoice::kEucJp},       {L"iso-2022-jp", EncodingChoice::kIso2022Jp}};
    const auto named = std::find_if(std::begin(names), std::end(names),
                                    [&](const auto& n) { return given->second == n.first; });
    if (named == std::end(names)) {
      return cmd.Usage(
          L"import: --encoding takes auto, cp932, utf-8, utf-16, utf-16le, utf-16be, euc-jp or iso-2022-jp, not " +
          given->second);
    }
    choice = named->second;
  }
  const Result<ImportOutcome> r = Import(PathFromText(inv.positional[0]), !Command::Has(inv, L"--no-limit"), choice);
  if (!r.ok()) return cmd.Refuse(r.status().message());
  cmd.Note(ImportReportLine(r.value().report));
  cmd.Print(DisplayPath(r.value().registration));
  return cmd.Print(std::to_wstring(r.value().report.registered));
}

int ExportCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args);
  if (const std::optional<int> rc = Misuse(cmd, inv, L"export", {L"--utf8"}, 1, 2)) return *rc;
  const std::filesystem::path registration = PathFromText(inv.positional[0]);
  const std::filesystem::path text =
      inv.positional.size() == 2 ? PathFromText(inv.positional[1]) : ExportNameFor(registration);
  if (text.empty()) return cmd.Usage(L"export: no text file name can be made from " + inv.positional[0]);
  const Status s =
      Export(text, registration, Command::Has(inv, L"--utf8") ? ExportEncoding::kUtf8 : ExportEncoding::kCp932);
  if (!s.ok()) return cmd.Refuse(s.message());
  return cmd.Print(DisplayPath(text));
}

}  // namespace

void AddFileCommands(std::map<std::wstring, Handler, std::less<>>& table) {
  const std::pair<const wchar_t*, Handler> commands[] = {
      {L"new", NewCommand},       {L"info", InfoCommand},     {L"list", ListCommand},       {L"add", AddCommand},
      {L"edit", EditCommand},     {L"delete", DeleteCommand}, {L"move", MoveCommand},       {L"show", ShowCommand},
      {L"format", FormatCommand}, {L"options", OptionsCommand}, {L"import", ImportCommand}, {L"export", ExportCommand},
  };
  for (const auto& [name, handler] : commands) table.emplace(name, handler);
}

}  // namespace zor::tool
