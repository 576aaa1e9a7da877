// TGtkMessageBox: a modal message box drawn with GTK (Yes/No with an information icon, or OK
// with an error icon). While it is open the application's loop keeps running, as the system's
// own message boxes let the program's other messages through; Cancel answers it from outside
// (a signal that ends the program).
//
// A box over an owner that no window manager stacks (the show's window is override-redirect, as
// screen savers' windows are, and so is a screen-saver host's) is kept out of the window
// manager's hands too: a managed window always lies below such an owner, and the box would open
// out of sight. It then opens on top of everything and takes the keyboard itself.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "platform/sdl/gtk_toolkit.h"
#include "platform/system_services.h"

namespace tovrin {

class TGtkMessageBox {
 public:
  // text and caption in the package's code page; owner the X11 window the box belongs to (0:
  // none).
  TGtkMessageBox(TGtkToolkit& toolkit, TWindowHandle owner, const std::string& text,
                 const std::string& caption, TMsgBoxKind kind);
  ~TGtkMessageBox();
  TGtkMessageBox(const TGtkMessageBox&) = delete;
  TGtkMessageBox& operator=(const TGtkMessageBox&) = delete;

  // Shows the box and returns the answer once it is given.
  TModalResult Run();
  // Ends Run with "No" (or "OK" for a box without a choice).
  void Cancel();

 private:
  static void OnResponse(GtkDialog* dialog, gint response, gpointer self);
  static gboolean OnMapped(GtkWidget* widget, GdkEvent* event, gpointer self);

  TGtkToolkit& FToolkit;
  const TMsgBoxKind FKind;
  GtkWidget* FDialog = nullptr;
  TModalResult FResult = TModalResult::mrNone;
  // Override-redirect: stacked and focused by the box itself.
  bool FUnmanaged = false;
};

}  // namespace tovrin
