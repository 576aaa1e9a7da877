// The setup dialog as the back ends see it: a model that holds every caption, the check boxes'
// states and the layout, and takes the user's actions; and a view, the back end's rendering of it
// with the system's own controls.
//
// Layout values are pixels at 96 dots per inch; a view scales them to the screen's resolution.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "gfx/color.h"
#include "gfx/rect.h"
#include "platform/form_window.h"
#include "platform/screen.h"

namespace tovrin {

// One control of the dialog. From siMute on, the order is the dialog's tab order.
enum class TSetupItem : uint8_t { siTitle, siAuthor, siMute, siEveryMonitor, siEmail, siWeb, siOK };
inline constexpr size_t SetupItemCount = static_cast<size_t>(TSetupItem::siOK) + 1;

// The items a view shows as check boxes.
constexpr bool IsCheckBox(TSetupItem item) {
  return item == TSetupItem::siMute || item == TSetupItem::siEveryMonitor;
}

struct TSetupItemLayout {
  TSetupItem Item;
  int32_t Left;
  int32_t Top;
  // 0 for labels, which size themselves to their text.
  int32_t Width;
  int32_t Height;
};

class TSetupDialogModel {
 public:
  virtual ~TSetupDialogModel() = default;

  // ---- What the view shows
  virtual std::string Caption() const = 0;
  virtual std::string ItemCaption(TSetupItem item) const = 0;
  // Whether a check box is checked; false for any other item.
  virtual bool Checked(TSetupItem item) const = 0;
  // Client area size, background colour, and each control's place.
  virtual int32_t ClientWidth() const = 0;
  virtual int32_t ClientHeight() const = 0;
  virtual int32_t InfoAreaHeight() const = 0;
  virtual TColor BackgroundColor() const = 0;
  virtual const TSetupItemLayout* Layout(int32_t& count) const = 0;

  // ---- What the user does (the view calls these from the message loop)
  // A click on a check box: toggles it. Ignored for any other item.
  virtual void ClickCheckBox(TSetupItem item) = 0;
  // OK pressed (also Enter).
  virtual void ClickOK() = 0;
  // A click on a link label (siEmail or siWeb).
  virtual void ClickLink(TSetupItem item) = 0;
  // The mouse entered or left a link label.
  virtual void LinkMouseEnter(TSetupItem item) = 0;
  virtual void LinkMouseLeave(TSetupItem item) = 0;
  // The window's close button.
  virtual void CloseRequest() = 0;
};

class TSetupDialogView {
 public:
  virtual ~TSetupDialogView() = default;
  virtual TWindowHandle Handle() const = 0;
  // Shows the dialog, centred on the screen, and makes it active.
  virtual void Show() = 0;
  // The model's captions or check state changed: show them.
  virtual void Refresh() = 0;
  // Hides and destroys the dialog's window.
  virtual void Close() = 0;
};

}  // namespace tovrin
