// zortool render: one message drawn as the settings dialog's test display
// draws it, on an off-screen page written to an image file.
#include <windows.h>

#include <cwchar>
#include <cwctype>

#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/data/settings.h"
#include "core/data/settings_file.h"
#include "core/screen/background.h"
#include "core/screen/saver_options.h"
#include "core/screen/sequencer.h"
#include "core/text/numbers.h"
#include "tool/command.h"
#include "tool/render.h"
#include "win/screen/folder_lists.h"
#include "win/screen/gdi_surface.h"
#include "win/screen/image_file.h"

namespace zor::tool {

namespace {

constexpr float kTwipsPerPixel = 15.0f;  // 96 dpi
constexpr int kMaxSide = 16384;

bool ParseSize(const std::wstring& text, int& width, int& height) {
  const std::size_t x = text.find_first_of(L"xX");
  if (x == std::wstring::npos) return false;
  const std::optional<long long> w = ParseDecimal(std::wstring_view(text).substr(0, x), 16, kMaxSide);
  const std::optional<long long> h = ParseDecimal(std::wstring_view(text).substr(x + 1), 16, kMaxSide);
  if (!w || !h) return false;
  width = static_cast<int>(*w);
  height = static_cast<int>(*h);
  return true;
}

}  // namespace

int RenderCommand(const std::vector<std::wstring>& args, Command& cmd) {
  const Invocation inv = Split(args, {L"--layout", L"--ground", L"--size", L"--out", L"--settings", L"--seed"});
  if (!inv.error.empty()) return cmd.Usage(inv.error);
  std::wstring bad;
  if (!Command::CheckFlags(inv, {L"--layout", L"--ground", L"--size", L"--out", L"--settings", L"--seed"}, bad)) {
    return cmd.Usage(L"unknown option for render: " + bad);
  }
  if (inv.positional.size() != 2) return cmd.Usage(L"render takes FILE and N");
  const auto value = [&](const wchar_t* key) -> std::wstring {
    const auto it = inv.values.find(key);
    return it == inv.values.end() ? std::wstring() : it->second;
  };
  const std::wstring layoutText = value(L"--layout");
  const std::wstring ground = value(L"--ground");
  const std::wstring sizeText = value(L"--size");
  const std::wstring out = value(L"--out");
  if (layoutText.size() != 1 || std::wcschr(L"ABCabc", layoutText[0]) == nullptr) {
    return cmd.Usage(L"--layout must be A, B or C");
  }
  if (ground != L"black" && ground != L"white") return cmd.Usage(L"--ground must be black or white");
  int width = 0;
  int height = 0;
  if (!ParseSize(sizeText, width, height)) return cmd.Usage(L"--size must be WxH, 16 to 16384 pixels each");
  if (out.empty()) return cmd.Usage(L"--out names the image to write (.png or .bmp)");
  long long seed = static_cast<long long>(GetTickCount64() & 0x7FFFFFFF);
  if (!value(L"--seed").empty()) {
    const std::optional<long long> given = ParseDecimal(value(L"--seed"), 0, 0xFFFFFFFFLL);
    if (!given) return cmd.Usage(L"--seed must be a whole number from 0 to 4294967295");
    seed = *given;
  }
  const std::optional<long long> number = ParseDecimal(inv.positional[1], 1, kMaxMessages);
  if (!number) return cmd.Usage(L"N must be a message number from 1 to 500");
  const long long n = *number;

  const std::filesystem::path file(inv.positional[0]);
  Result<RegistrationHeader> header = ValidateRegistrationFile(file);
  if (!header.ok()) return cmd.Refuse(header.status().message());
  if (n > header.value().MessageCount()) {
    return cmd.Refuse(L"the file holds " + std::to_wstring(header.value().MessageCount()) + L" messages, not " +
                      std::to_wstring(n));
  }
  Result<Message> message = ReadMessage(file, static_cast<int>(n));
  if (!message.ok()) return cmd.Refuse(message.status().message());

  const std::filesystem::path folder = ProgramFolder();
  // A bare file name is the program folder's, as the settings file's own is.
  std::error_code ec;
  const std::filesystem::path ini = value(L"--settings").empty()
                                        ? SettingsFilePath(folder)
                                        : std::filesystem::absolute(std::filesystem::path(value(L"--settings")), ec);
  if (!value(L"--settings").empty() && !FileExists(ini)) {
    return cmd.Refuse(L"no such settings file: " + DisplayPath(ini));
  }
  SettingsFileStore store(ini);
  const Settings settings = LoadSettings(store, folder);

  win::ComScope com;
  win::DibImage canvas;
  if (!canvas.Create(width, height)) return cmd.Refuse(L"not enough memory for a page of " + sizeText);
  win::OffscreenHost host;
  win::GdiSurface surface(canvas.dc(), width, height, kTwipsPerPixel, kTwipsPerPixel, host);
  NoWaitClock clock;
  SeededRandom random(static_cast<std::uint32_t>(seed));
  // The page takes a background as the first page after the form loads does.
  FrameState frame;
  frame.intervalJustShown = true;
  const SaverOptions options = SaverOptionsOf(header.value(), settings);
  win::FolderLists folders;
  BackgroundPainter pictures(surface, random, folders, options.pictures, false);
  TitleCardRenderer renderer(surface, clock, pictures, random, frame);
  renderer.draw = options.draw;
  renderer.background = options.pictures.frame;

  CardRequest request;
  request.text = ExpandKeywords(message.value().text, options.sequence.formalKanji, options.sequence.unitYear);
  request.format = FormatOfRecord(message.value().format);
  request.emphasis = options.sequence.emphasis;
  request.testDisplay = true;
  bool invert = ground == L"white";
  const char layout = static_cast<char>(std::towupper(layoutText[0]));
  if (renderer.Render(layout, request, invert) == PageResult::kMissingFace || !host.missingFace.empty()) {
    return cmd.Refuse(host.missingFace);
  }
  GdiFlush();
  const std::wstring error = win::WriteImageFile(out, canvas.pixels(), width, height);
  if (!error.empty()) return cmd.Refuse(error + L": " + DisplayPath(PathFromText(out)));
  return cmd.Print(DisplayPath(PathFromText(out)));
}

}  // namespace zor::tool
