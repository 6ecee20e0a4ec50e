// The font and date options as their dialog shows and stores them, and the
// rules of the type-face chooser: which faces it offers, when its OK works,
// what it writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/settings.h"
#include "core/data/settings_schema.h"
#include "core/data/status.h"

namespace zor {

// The five settings of the dialog, as held in memory.
struct FontDateSettings {
  std::wstring typeFace;
  std::int16_t boldType = -1;
  std::int16_t decorationStyle = 0;
  std::int16_t formalKanji = 0;
  std::int16_t dateYearStyle = 0;

  [[nodiscard]] static FontDateSettings From(const Settings& s);
  void CopyTo(Settings& s) const;
  bool operator==(const FontDateSettings&) const = default;
};

// What the dialog shows.
struct FontDateView {
  std::wstring face;
  bool bold = true;
  std::int16_t decoration = 0;  // the selected option, 0..3
  std::int16_t yearStyle = 0;   // the selected option, 0..1
  bool formalNumerals = false;
  bool operator==(const FontDateView&) const = default;
};

// One key the dialog writes and its value.
struct SettingValue {
  std::wstring_view key;
  std::int16_t value;
  bool operator==(const SettingValue&) const = default;
};

class FontDateOptionsModel {
 public:
  // A stored decoration or year style that no option stands for is shown on
  // the nearest option, and so written back as that option when the dialog closes.
  explicit FontDateOptionsModel(FontDateSettings stored);

  [[nodiscard]] const FontDateView& View() const { return view_; }
  // The values in memory: those read, then each one written.
  [[nodiscard]] const FontDateSettings& Stored() const { return stored_; }

  void SetBold(bool bold) { view_.bold = bold; }
  // An index outside the options is taken as the nearest option.
  void SelectDecoration(int index);
  void SelectYearStyle(int index);
  void SetFormalNumerals(bool formal) { view_.formalNumerals = formal; }
  // The chooser has written a new face: shown, and held in memory.
  void FaceWritten(std::wstring face);

  // What closing writes, in this order: "UseFontBold", "DecoFont",
  // "Seireki", "KanS". The face is not among them; the chooser writes it.
  [[nodiscard]] std::vector<SettingValue> Writes() const;
  // Writes them all; memory takes each value whose write succeeded. The
  // first failure is returned (the later keys are still tried).
  [[nodiscard]] Status Save(ProfileStore& store);

 private:
  // The settings as the dialog shows them.
  [[nodiscard]] FontDateSettings Shown() const;

  FontDateSettings stored_;
  FontDateView view_;
};

// The faces the chooser offers, from the system's face names in the
// system's order: each face whose vertical variant ("@" + name) is
// installed as well, once, without the "@", in the order the vertical names
// first appear. A face StorableFaceName refuses is left out.
[[nodiscard]] std::vector<std::wstring> ChoosableFaces(const std::vector<std::wstring>& systemFaces);

class FontChooserModel {
 public:
  explicit FontChooserModel(std::vector<std::wstring> rows) : rows_(std::move(rows)) {}

  [[nodiscard]] const std::vector<std::wstring>& Rows() const { return rows_; }
  // OK works once a row has been clicked.
  [[nodiscard]] bool OkEnabled() const { return clicked_.has_value(); }
  [[nodiscard]] std::optional<int> ClickedRow() const { return clicked_; }
  // A click on a row; anything that is no row (the list's -1) changes nothing.
  void Click(int row);
  // OK: writes the clicked face as "UseFont". Returns the face written, or
  // the failure (also when OK is not enabled).
  [[nodiscard]] Result<std::wstring> Confirm(ProfileStore& store) const;

 private:
  std::vector<std::wstring> rows_;
  std::optional<int> clicked_;
};

}  // namespace zor
