#include "platform/win32/win32_movie_player.h"

#include <oleauto.h>

#include <atomic>
#include <cstdio>
#include <vector>

#include "core/errors.h"
#include "platform/win32/win32_unicode.h"

namespace tovrin {

const CLSID CLSID_MovieControl = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

namespace {

constexpr DISPID kDispMovie = 102;
constexpr DISPID kDispTotalFrames = 124;

std::string HresultText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

// A BSTR owned for a scope.
class TBstr {
 public:
  explicit TBstr(const std::wstring& text)
      : FText(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~TBstr() { SysFreeString(FText); }
  TBstr(const TBstr&) = delete;
  TBstr& operator=(const TBstr&) = delete;
  BSTR Get() const { return FText; }

 private:
  BSTR FText;
};

// A VARIANT cleared at the end of its scope.
struct TVariant {
  VARIANT Value;
  TVariant() { VariantInit(&Value); }
  ~TVariant() { VariantClear(&Value); }
  TVariant(const TVariant&) = delete;
  TVariant& operator=(const TVariant&) = delete;
};

}  // namespace

// The container side of the control: client site, in-place site and in-place frame in one COM
// object. It answers what an in-place activation asks (the parent window, the position, no
// menus, tools or accelerators) and nothing else.
class TWin32ControlSite final : public IOleClientSite,
                                public IOleInPlaceSite,
                                public IOleInPlaceFrame {
 public:
  TWin32ControlSite(HWND parent, const RECT& rect) : FParent(parent), FRect(rect) {}
  void SetRect(const RECT& rect) { FRect = rect; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
      *out = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleInPlaceSite) || IsEqualIID(iid, IID_IOleWindow)) {
      *out = static_cast<IOleInPlaceSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleInPlaceFrame) || IsEqualIID(iid, IID_IOleInPlaceUIWindow)) {
      *out = static_cast<IOleInPlaceFrame*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++FRefs; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG refs = --FRefs;
    if (refs == 0) delete this;
    return refs;
  }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** out) override {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (shared by the in-place site and frame)
  STDMETHODIMP GetWindow(HWND* out) override {
    if (!out) return E_POINTER;
    *out = FParent;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    if (frame) {
      *frame = this;
      AddRef();
    }
    if (document) *document = nullptr;
    if (position) *position = FRect;
    if (clip) *clip = FRect;
    if (info) {
      info->fMDIApp = FALSE;
      info->hwndFrame = FParent;
      info->haccel = nullptr;
      info->cAccelEntries = 0;
    }
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }

  // IOleInPlaceFrame
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

 private:
  ~TWin32ControlSite() = default;

  std::atomic<ULONG> FRefs{1};
  HWND FParent;
  RECT FRect;
};

TWin32MoviePlayer::TWin32MoviePlayer(HWND parent, const CLSID& control) : FParent(parent) {
  GetClientRect(parent, &FRect);
  HRESULT hr =
      CoCreateInstance(control, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, FObject.PutVoid());
  if (FAILED(hr) || !FObject) {
    throw Exception("The movie control cannot be created (" + HresultText(hr) + ")");
  }
  // The site starts with one reference, which FSite takes over.
  *FSite.Put() = new TWin32ControlSite(parent, FRect);
  TComPtr<IPersistStreamInit> persist;
  if (SUCCEEDED(FObject->QueryInterface(IID_IPersistStreamInit, persist.PutVoid())) && persist) {
    persist->InitNew();
  }
  hr = FObject->SetClientSite(FSite.Get());
  if (SUCCEEDED(hr)) {
    hr = FObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, FSite.Get(), 0, parent, &FRect);
  }
  if (SUCCEEDED(hr)) {
    hr = FObject->QueryInterface(IID_IDispatch, FDispatch.PutVoid());
  }
  if (FAILED(hr) || !FDispatch) {
    FObject->SetClientSite(nullptr);
    throw Exception("The movie control cannot be activated (" + HresultText(hr) + ")");
  }
  FObject->QueryInterface(IID_IOleInPlaceObject, FInPlace.PutVoid());
}

TWin32MoviePlayer::~TWin32MoviePlayer() {
  if (FInPlace) FInPlace->InPlaceDeactivate();
  if (FObject) {
    FObject->Close(OLECLOSE_NOSAVE);
    FObject->SetClientSite(nullptr);
  }
}

HWND TWin32MoviePlayer::ControlWindow() const {
  HWND window = nullptr;
  if (FInPlace && SUCCEEDED(FInPlace->GetWindow(&window))) return window;
  return nullptr;
}

void TWin32MoviePlayer::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  FRect = RECT{left, top, left + width, top + height};
  FSite->SetRect(FRect);
  if (FInPlace) FInPlace->SetObjectRects(&FRect, &FRect);
}

void TWin32MoviePlayer::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  if (HWND window = ControlWindow()) {
    ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
  } else {
    FObject->DoVerb(visible ? OLEIVERB_SHOW : OLEIVERB_HIDE, nullptr, FSite.Get(), 0, FParent,
                    &FRect);
  }
}

void TWin32MoviePlayer::Invoke(DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result,
                               const char* what) {
  EXCEPINFO error{};
  UINT badArgument = 0;
  const HRESULT hr = FDispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                       &error, &badArgument);
  std::string description;
  if (error.bstrDescription) {
    const int n =
        WideCharToMultiByte(CP_ACP, 0, error.bstrDescription, -1, nullptr, 0, nullptr, nullptr);
    if (n > 1) {
      description.resize(static_cast<size_t>(n - 1));
      WideCharToMultiByte(CP_ACP, 0, error.bstrDescription, -1, description.data(), n, nullptr,
                          nullptr);
    }
  }
  SysFreeString(error.bstrSource);
  SysFreeString(error.bstrDescription);
  SysFreeString(error.bstrHelpFile);
  if (FAILED(hr)) {
    throw Exception(description.empty() ? std::string("The movie control's ") + what + " failed (" +
                                              HresultText(hr) + ")"
                                        : description);
  }
}

DISPID TWin32MoviePlayer::IdOf(const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  const HRESULT hr = FDispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) throw Exception("The movie control has no member " + HresultText(hr));
  return id;
}

int32_t TWin32MoviePlayer::IntegerOf(VARIANT& value, const char* what) {
  if (FAILED(VariantChangeType(&value, &value, 0, VT_I4))) {
    throw Exception(std::string("The movie control's ") + what + " is not a number");
  }
  return value.lVal;
}

void TWin32MoviePlayer::SetMovie(const std::string& path) {
  // A path: UTF-8 inside the engine, UTF-16 for the control.
  TBstr text(WideFromUtf8(path));
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = text.Get();
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&argument, &named, 1, 1};
  Invoke(kDispMovie, DISPATCH_PROPERTYPUT, params, nullptr, "Movie");
}

int32_t TWin32MoviePlayer::TotalFrames() {
  DISPPARAMS params{nullptr, nullptr, 0, 0};
  TVariant result;
  Invoke(kDispTotalFrames, DISPATCH_PROPERTYGET, params, &result.Value, "TotalFrames");
  return IntegerOf(result.Value, "TotalFrames");
}

int32_t TWin32MoviePlayer::CurrentFrame() {
  DISPPARAMS params{nullptr, nullptr, 0, 0};
  TVariant result;
  Invoke(IdOf(L"CurrentFrame"), DISPATCH_METHOD, params, &result.Value, "CurrentFrame");
  return IntegerOf(result.Value, "CurrentFrame");
}

void TWin32MoviePlayer::Play() {
  DISPPARAMS params{nullptr, nullptr, 0, 0};
  Invoke(IdOf(L"Play"), DISPATCH_METHOD, params, nullptr, "Play");
}

void TWin32MoviePlayer::Stop() {
  DISPPARAMS params{nullptr, nullptr, 0, 0};
  Invoke(IdOf(L"Stop"), DISPATCH_METHOD, params, nullptr, "Stop");
}

}  // namespace tovrin
