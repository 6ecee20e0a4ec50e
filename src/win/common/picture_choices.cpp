#include "win/common/picture_choices.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <iterator>
#include <new>
#include <optional>
#include <utility>

namespace zor::win {

namespace {

constexpr UINT_PTR kChoiceSubclass = 1;
constexpr UINT_PTR kNameSubclass = 2;

// Asked of a picture by its accessible object, which may outlive the
// dialog: a window that is gone answers 0, not checked.
UINT CheckedQuery() {
  static const UINT message = RegisterWindowMessageW(L"ZoranteChoiceChecked");
  return message;
}

// The same for the description: the text goes into the buffer of LPARAM,
// WPARAM characters long; the answer is its length.
UINT DescriptionQuery() {
  static const UINT message = RegisterWindowMessageW(L"ZoranteChoiceDescription");
  return message;
}

long RoleOf(ChoiceRole role) {
  switch (role) {
    case ChoiceRole::kOption:
      return ROLE_SYSTEM_RADIOBUTTON;
    case ChoiceRole::kToggle:
      return ROLE_SYSTEM_CHECKBUTTON;
    case ChoiceRole::kButton:
      return ROLE_SYSTEM_PUSHBUTTON;
    case ChoiceRole::kLink:
      return ROLE_SYSTEM_LINK;
  }
  return ROLE_SYSTEM_CLIENT;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The system's object of a control with its name, role and state put right;
// everything else is the system's.
class AccessibleControl final : public IAccessible {
 public:
  // Takes the reference of standard. name empty: the window text; role 0: the system's.
  AccessibleControl(IAccessible* standard, HWND hwnd, std::wstring name, long role)
      : standard_(standard), hwnd_(hwnd), name_(std::move(name)), role_(role) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return standard_->GetTypeInfoCount(n); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override {
    return standard_->GetTypeInfo(i, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT n, LCID lcid, DISPID* ids) override {
    return standard_->GetIDsOfNames(iid, names, n, lcid, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argument) override {
    return standard_->Invoke(id, iid, lcid, flags, params, result, exception, argument);
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* n) override { return standard_->get_accChildCount(n); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return standard_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!IsSelf(child) || !name) return standard_->get_accName(child, name);
    std::wstring text = name_;
    if (text.empty()) {
      const int n = GetWindowTextLengthW(hwnd_);
      text.resize(static_cast<std::size_t>(n > 0 ? n : 0) + 1);
      text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    }
    if (text.empty()) return standard_->get_accName(child, name);
    *name = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *name ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return standard_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    if (!IsSelf(child) || !text || role_ == 0) return standard_->get_accDescription(child, text);
    wchar_t buffer[128] = {};
    const LRESULT n = SendMessageW(hwnd_, DescriptionQuery(), std::size(buffer), reinterpret_cast<LPARAM>(buffer));
    if (n <= 0) return standard_->get_accDescription(child, text);
    *text = SysAllocStringLen(buffer, static_cast<UINT>(n));
    return *text ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!IsSelf(child) || !role || role_ == 0) return standard_->get_accRole(child, role);
    VariantInit(role);
    role->vt = VT_I4;
    role->lVal = role_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    const HRESULT hr = standard_->get_accState(child, state);
    if (FAILED(hr) || !IsSelf(child) || role_ == 0 || state->vt != VT_I4) return hr;
    state->lVal |= STATE_SYSTEM_FOCUSABLE;
    if (GetFocus() == hwnd_) state->lVal |= STATE_SYSTEM_FOCUSED;
    if (SendMessageW(hwnd_, CheckedQuery(), 0, 0) != 0) state->lVal |= STATE_SYSTEM_CHECKED;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return standard_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return standard_->get_accKeyboardShortcut(child, keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return standard_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return standard_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return standard_->accSelect(flags, child); }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT child) override {
    return standard_->accLocation(x, y, w, h, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    return standard_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return standard_->accDoDefaultAction(child); }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return standard_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

 private:
  ~AccessibleControl() { standard_->Release(); }

  IAccessible* standard_;
  HWND hwnd_;
  std::wstring name_;
  long role_;
  LONG references_ = 1;
};

// The answer to WM_GETOBJECT for the client object; 0 (the system's own
// object) when the wrapper cannot be made.
LRESULT AccessibleObject(HWND hwnd, WPARAM wp, LPARAM lp, const std::wstring& name, long role) {
  if (static_cast<LONG>(lp) != OBJID_CLIENT) return 0;
  IAccessible* standard = nullptr;
  // __uuidof, not IID_IAccessible: liboleacc.a would link that name to an import stub, not the GUID.
  if (FAILED(
          CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard)))) {
    return 0;
  }
  auto* object = new (std::nothrow) AccessibleControl(standard, hwnd, name, role);
  if (!object) {
    standard->Release();
    return 0;
  }
  const LRESULT result = LresultFromObject(__uuidof(IAccessible), wp, object);
  object->Release();
  return result;
}

void DrawFocus(HWND hwnd, int inset96) {
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  RECT r{};
  GetClientRect(hwnd, &r);
  const int inset = MulDiv(inset96, GetDeviceCaps(dc, LOGPIXELSY), 96);
  InflateRect(&r, -inset, -inset);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &r);
  ReleaseDC(hwnd, dc);
}

std::optional<KeyMove> MoveOfKey(WPARAM key) {
  constexpr std::pair<WPARAM, KeyMove> kMoves[] = {
      {VK_LEFT, KeyMove::kLeft}, {VK_RIGHT, KeyMove::kRight}, {VK_UP, KeyMove::kUp},
      {VK_DOWN, KeyMove::kDown}, {VK_HOME, KeyMove::kHome},   {VK_END, KeyMove::kEnd},
  };
  for (const auto& [k, move] : kMoves) {
    if (k == key) return move;
  }
  return std::nullopt;
}

LRESULT CALLBACK NameProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) noexcept {
  auto* name = reinterpret_cast<std::wstring*>(data);
  if (msg == WM_GETOBJECT) {
    LRESULT result = 0;
    try {
      result = AccessibleObject(hwnd, wp, lp, *name, 0);
    } catch (...) {
      result = 0;
    }
    if (result) return result;
  } else if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &NameProcedure, kNameSubclass);
    delete name;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

PictureChoices::~PictureChoices() {
  for (const auto& m : members_) {
    if (IsWindow(m->control)) RemoveWindowSubclass(m->control, &PictureChoices::Procedure, kChoiceSubclass);
  }
}

void PictureChoices::Add(PictureGroup group) {
  const std::size_t number = groups_.size();
  groups_.push_back(std::move(group));
  const auto& controls = groups_.back().controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    members_.push_back(std::make_unique<Member>(Member{this, number, static_cast<int>(i), controls[i]}));
    SetWindowSubclass(controls[i], &PictureChoices::Procedure, kChoiceSubclass,
                      reinterpret_cast<DWORD_PTR>(members_.back().get()));
  }
  FollowChoice(number);
}

void PictureChoices::GiveTabStop(std::size_t group, int index) {
  const auto& controls = groups_[group].controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const LONG_PTR style = GetWindowLongPtrW(controls[i], GWL_STYLE);
    const LONG_PTR wanted = static_cast<int>(i) == index ? (style | WS_TABSTOP) : (style & ~LONG_PTR{WS_TABSTOP});
    if (wanted != style) SetWindowLongPtrW(controls[i], GWL_STYLE, wanted);
  }
}

void PictureChoices::FollowChoice() {
  for (std::size_t g = 0; g < groups_.size(); ++g) FollowChoice(g);
}

void PictureChoices::FollowChoice(std::size_t group) {
  const PictureGroup& g = groups_[group];
  if (g.role != ChoiceRole::kOption || !g.checked) return;
  const HWND focus = GetFocus();
  for (HWND c : g.controls) {
    if (c == focus) return;
  }
  for (std::size_t i = 0; i < g.controls.size(); ++i) {
    if (g.checked(static_cast<int>(i))) {
      GiveTabStop(group, static_cast<int>(i));
      return;
    }
  }
}

bool PictureChoices::IsChecked(const Member& m) const {
  const PictureGroup& g = groups_[m.group];
  return g.checked && g.checked(m.index);
}

std::wstring PictureChoices::DescriptionOf(const Member& m) const {
  const PictureGroup& g = groups_[m.group];
  return g.described ? g.described(m.index) : std::wstring();
}

bool PictureChoices::Key(const Member& m, WPARAM key) {
  PictureGroup& g = groups_[m.group];
  if (key == VK_SPACE || (key == VK_RETURN && g.enterActs)) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if (g.activated) {
      g.activated(m.index, shift);
    } else {
      SendMessageW(GetParent(m.control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m.control), STN_CLICKED),
                   reinterpret_cast<LPARAM>(m.control));
    }
    // A screen reader speaks the choice that is now checked.
    if (g.checked) {
      for (HWND c : g.controls) {
        if (IsWindow(c)) NotifyWinEvent(EVENT_OBJECT_STATECHANGE, c, OBJID_CLIENT, CHILDID_SELF);
      }
    }
    return true;
  }
  const std::optional<KeyMove> move = MoveOfKey(key);
  if (!move) return false;
  const int count = static_cast<int>(g.controls.size());
  const int to = g.moved ? g.moved(m.index, *move) : MoveInGroup(m.index, *move, count);
  if (to >= 0 && to < count && to != m.index) {
    // WM_NEXTDLGCTL, not SetFocus: the dialog then keeps its default button right.
    SendMessageW(GetParent(m.control), WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(g.controls[static_cast<std::size_t>(to)]), TRUE);
  }
  return true;
}

LRESULT CALLBACK PictureChoices::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                           DWORD_PTR data) noexcept {
  const Member& m = *reinterpret_cast<const Member*>(data);
  try {
    switch (msg) {
      case WM_GETDLGCODE: {
        // Enter would otherwise press the default button.
        const auto* key = reinterpret_cast<const MSG*>(lp);
        const bool enter =
            key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN && m.owner->groups_[m.group].enterActs;
        return DLGC_WANTARROWS | (enter ? DLGC_WANTMESSAGE : 0);
      }
      case WM_KEYDOWN:
        if (m.owner->Key(m, wp)) return 0;
        break;
      case WM_SETFOCUS:
        m.owner->GiveTabStop(m.group, m.index);
        InvalidateRect(hwnd, nullptr, FALSE);
        break;
      case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, FALSE);
        break;
      case WM_PAINT: {
        // The whole picture is drawn again, so the focus rectangle (drawn
        // by inverting) never lands twice on the same pixels.
        InvalidateRect(hwnd, nullptr, FALSE);
        const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
        if (GetFocus() == hwnd) DrawFocus(hwnd, m.owner->groups_[m.group].focusInset);
        return result;
      }
      case WM_GETOBJECT:
        if (const LRESULT result = AccessibleObject(hwnd, wp, lp, {}, RoleOf(m.owner->groups_[m.group].role))) {
          return result;
        }
        break;
      case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &PictureChoices::Procedure, kChoiceSubclass);
        break;
      default:
        if (msg == CheckedQuery()) return m.owner->IsChecked(m) ? 1 : 0;
        if (msg == DescriptionQuery() && lp && wp > 0) {
          const std::wstring text = m.owner->DescriptionOf(m).substr(0, wp - 1);
          std::copy(text.begin(), text.end(), reinterpret_cast<wchar_t*>(lp));
          reinterpret_cast<wchar_t*>(lp)[text.size()] = L'\0';
          return static_cast<LRESULT>(text.size());
        }
        break;
    }
  } catch (...) {
    // Out of memory in a handler: the key or the question is dropped.
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

std::wstring WithoutAccessKey(std::wstring_view caption) {
  std::wstring plain;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption.substr(i, 2) == L"(&" && caption.size() > i + 3 && caption[i + 2] != L'&' && caption[i + 3] == L')') {
      i += 3;
    } else if (caption[i] != L'&') {
      plain += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == L'&') {
      plain += caption[++i];
    }
  }
  return plain;
}

void NameForScreenReaders(HWND control, std::wstring name) {
  auto* kept = new (std::nothrow) std::wstring(std::move(name));
  if (!kept) return;
  if (!SetWindowSubclass(control, &NameProcedure, kNameSubclass, reinterpret_cast<DWORD_PTR>(kept))) delete kept;
}

}  // namespace zor::win
