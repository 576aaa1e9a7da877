// A stand-in for the movie control, for the end-to-end tests: an in-process ActiveX object that
// the tests register under the movie control's class identifier in Wine's registry. It takes the
// members the show uses, with the same dispatch identifiers (Movie 102, TotalFrames 124; Play,
// Stop and CurrentFrame by name), and plays a "movie" file of its own kind:
//
//   FWS TOVRIN-TEST-MOVIE frames=<N> color=<RRGGBB>
//
// (opening with an SWF movie's signature, as tovrin-pack takes .swf movies by their content)
// at 10 frames a second, by filling its window with the colour. Every call is appended to the
// file named by TOVRIN_TEST_LOG ("Movie m0.swf", "Play", "Stop").
#include "windows_api.h"

#include <ocidl.h>
#include <ole2.h>
#include <oleauto.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const CLSID CLSID_MovieControl = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr DISPID kPlay = 1, kStop = 2, kCurrentFrame = 3, kMovie = 102, kTotalFrames = 124;
constexpr DWORD kFrameMs = 100;
constexpr char kWindowClass[] = "TovrinTestMovie";

HINSTANCE Module = nullptr;
std::atomic<long> Objects{0};

void Log(const std::string& line) {
  const char* path = std::getenv("TOVRIN_TEST_LOG");
  if (!path) return;
  if (FILE* f = std::fopen(path, "a")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

std::string Narrow(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

LRESULT CALLBACK MovieWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
    FillRect(dc, &ps.rcPaint, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class TMovieControl final : public IOleObject, public IOleInPlaceObject, public IDispatch {
 public:
  TMovieControl() { ++Objects; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject)) {
      *out = static_cast<IOleObject*>(this);
    } else if (IsEqualIID(iid, IID_IOleInPlaceObject) || IsEqualIID(iid, IID_IOleWindow)) {
      *out = static_cast<IOleInPlaceObject*>(this);
    } else if (IsEqualIID(iid, IID_IDispatch)) {
      *out = static_cast<IDispatch*>(this);
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

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override {
    if (site) site->AddRef();
    if (FSite) FSite->Release();
    FSite = site;
    return S_OK;
  }
  STDMETHODIMP GetClientSite(IOleClientSite** site) override {
    if (!site) return E_POINTER;
    *site = FSite;
    if (FSite) FSite->AddRef();
    return S_OK;
  }
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD) override {
    InPlaceDeactivate();
    return S_OK;
  }
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent, LPCRECT rect) override {
    if (verb == OLEIVERB_HIDE) {
      if (FWindow) ShowWindow(FWindow, SW_HIDE);
      return S_OK;
    }
    if (!FWindow) {
      IOleInPlaceSite* site = nullptr;
      if (!FSite ||
          FAILED(FSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&site)))) {
        return E_UNEXPECTED;
      }
      const bool allowed = site->CanInPlaceActivate() == S_OK;
      if (allowed) site->OnInPlaceActivate();
      site->Release();
      if (!allowed) return E_FAIL;
      FWindow = CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_CLIPSIBLINGS, rect->left,
                                rect->top, rect->right - rect->left, rect->bottom - rect->top,
                                parent, nullptr, Module, nullptr);
      if (!FWindow) return E_FAIL;
      SetWindowLongPtrA(FWindow, GWLP_USERDATA, static_cast<LONG_PTR>(FColor));
    }
    ShowWindow(FWindow, SW_SHOWNA);
    return S_OK;
  }
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* id) override {
    *id = CLSID_MovieControl;
    return S_OK;
  }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
  STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
  STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
    *status = 0;
    return S_OK;
  }
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow, IOleInPlaceObject
  STDMETHODIMP GetWindow(HWND* window) override {
    *window = FWindow;
    return FWindow ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override {
    if (!FWindow) return S_OK;
    DestroyWindow(FWindow);
    FWindow = nullptr;
    IOleInPlaceSite* site = nullptr;
    if (FSite &&
        SUCCEEDED(FSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&site)))) {
      site->OnInPlaceDeactivate();
      site->Release();
    }
    return S_OK;
  }
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT) override {
    if (FWindow) {
      MoveWindow(FWindow, position->left, position->top, position->right - position->left,
                 position->bottom - position->top, TRUE);
    }
    return S_OK;
  }
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    static const struct {
      const wchar_t* Name;
      DISPID Id;
    } members[] = {{L"Play", kPlay},
                   {L"Stop", kStop},
                   {L"CurrentFrame", kCurrentFrame},
                   {L"Movie", kMovie},
                   {L"TotalFrames", kTotalFrames}};
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
      for (const auto& m : members) {
        if (_wcsicmp(names[i], m.Name) == 0) ids[i] = m.Id;
      }
      if (ids[i] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
    }
    return result;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT*) override {
    switch (id) {
      case kMovie:
        if (!(flags & DISPATCH_PROPERTYPUT) || params->cArgs != 1 ||
            params->rgvarg[0].vt != VT_BSTR) {
          return DISP_E_TYPEMISMATCH;
        }
        return LoadMovie(Narrow(params->rgvarg[0].bstrVal));
      case kTotalFrames:
        return Integer(result, FTotal);
      case kCurrentFrame:
        return Integer(result, Current());
      case kPlay:
        Log("Play");
        FStartFrame = Current();
        FPlayStart = GetTickCount();
        FPlaying = true;
        return S_OK;
      case kStop:
        Log("Stop");
        FStartFrame = Current();
        FPlaying = false;
        return S_OK;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  ~TMovieControl() {
    InPlaceDeactivate();
    SetClientSite(nullptr);
    --Objects;
  }

  HRESULT LoadMovie(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    Log("Movie " + (slash == std::string::npos ? path : path.substr(slash + 1)));
    FTotal = 0;
    FStartFrame = 0;
    FPlaying = false;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return E_FAIL;
    unsigned frames = 0, color = 0;
    const int read = std::fscanf(f, "FWS TOVRIN-TEST-MOVIE frames=%u color=%x", &frames, &color);
    std::fclose(f);
    if (read != 2) return E_FAIL;
    FTotal = static_cast<LONG>(frames);
    // RRGGBB as written; a COLORREF holds 00BBGGRR.
    FColor = ((color >> 16) & 0xFF) | (color & 0xFF00) | ((color & 0xFF) << 16);
    if (FWindow) {
      SetWindowLongPtrA(FWindow, GWLP_USERDATA, static_cast<LONG_PTR>(FColor));
      InvalidateRect(FWindow, nullptr, FALSE);
    }
    return S_OK;
  }
  LONG Current() const {
    if (!FPlaying) return FStartFrame;
    const LONG frame = FStartFrame + static_cast<LONG>((GetTickCount() - FPlayStart) / kFrameMs);
    return FTotal > 0 && frame > FTotal - 1 ? FTotal - 1 : frame;
  }
  static HRESULT Integer(VARIANT* result, LONG value) {
    if (!result) return S_OK;
    VariantInit(result);
    result->vt = VT_I4;
    result->lVal = value;
    return S_OK;
  }

  std::atomic<ULONG> FRefs{1};
  IOleClientSite* FSite = nullptr;
  HWND FWindow = nullptr;
  COLORREF FColor = 0;
  LONG FTotal = 0;
  LONG FStartFrame = 0;
  DWORD FPlayStart = 0;
  bool FPlaying = false;
};

class TFactory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* control = new TMovieControl();
    const HRESULT hr = control->QueryInterface(iid, out);
    control->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

TFactory Factory;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    Module = instance;
    WNDCLASSA wc{};
    wc.lpfnWndProc = MovieWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
  }
  return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI
    DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!IsEqualCLSID(clsid, CLSID_MovieControl)) return CLASS_E_CLASSNOTAVAILABLE;
  return Factory.QueryInterface(iid, out);
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() {
  return Objects.load() == 0 ? S_OK : S_FALSE;
}
