// TWin32MoviePlayer: the movie control, an ActiveX object created by its class identifier and
// activated in place over the show window by a minimal container (client site, in-place site and
// frame of our own). Its members are reached through IDispatch: Movie (dispatch id 102, put) and
// TotalFrames (124, get) by number, Play, Stop and CurrentFrame by name. Failures come back as
// Exception; creation raises when the control is not installed.
#pragma once

#include "platform/win32/win32_api.h"

#include <ocidl.h>
#include <ole2.h>

#include <string>

#include "platform/movie_player.h"
#include "platform/win32/win32_com.h"

namespace tovrin {

// {D27CDB6E-AE6D-11CF-96B8-444553540000}, the movie control's class.
extern const CLSID CLSID_MovieControl;

class TWin32ControlSite;

class TWin32MoviePlayer final : public TMoviePlayer {
 public:
  TWin32MoviePlayer(HWND parent, const CLSID& control);
  ~TWin32MoviePlayer() override;
  TWin32MoviePlayer(const TWin32MoviePlayer&) = delete;
  TWin32MoviePlayer& operator=(const TWin32MoviePlayer&) = delete;

  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void SetVisible(bool visible) override;
  bool Visible() const override { return FVisible; }
  void SetMovie(const std::string& path) override;
  int32_t TotalFrames() override;
  int32_t CurrentFrame() override;
  void Play() override;
  void Stop() override;

 private:
  // Invokes a member by dispatch id; result may be nullptr.
  void Invoke(DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result, const char* what);
  DISPID IdOf(const wchar_t* name);
  int32_t IntegerOf(VARIANT& value, const char* what);
  HWND ControlWindow() const;

  HWND FParent;
  TComPtr<TWin32ControlSite> FSite;
  TComPtr<IOleObject> FObject;
  TComPtr<IOleInPlaceObject> FInPlace;
  TComPtr<IDispatch> FDispatch;
  RECT FRect{};
  bool FVisible = true;
};

}  // namespace tovrin
