#include "platform/sdl/gtk_message_box.h"

#include "core/ansi_text.h"
#include "platform/sdl/gtk_library.h"

namespace tovrin {

namespace {

// Whether owner is a window no window manager handles (override-redirect). A window that has
// gone answers false.
bool IsOverrideRedirect(TWindowHandle owner) {
  GdkDisplay* display = Gtk().gdk_display_get_default();
  if (owner == 0 || !display || !IsInstanceOf(display, Gtk().gdk_x11_display_get_type()))
    return false;
  XWindowAttributes attributes{};
  Gtk().gdk_x11_display_error_trap_push(display);
  const Status ok = Gtk().XGetWindowAttributes(Gtk().gdk_x11_display_get_xdisplay(display),
                                               static_cast<::Window>(owner), &attributes);
  Gtk().gdk_x11_display_error_trap_pop_ignored(display);
  return ok != 0 && attributes.override_redirect;
}

}  // namespace

TGtkMessageBox::TGtkMessageBox(TGtkToolkit& toolkit, TWindowHandle owner, const std::string& text,
                               const std::string& caption, TMsgBoxKind kind)
    : FToolkit(toolkit), FKind(kind) {
  const bool yesNo = kind == TMsgBoxKind::mbInformationYesNo;
  FDialog = Gtk().gtk_message_dialog_new(
      nullptr, GTK_DIALOG_MODAL, yesNo ? GTK_MESSAGE_INFO : GTK_MESSAGE_ERROR,
      yesNo ? GTK_BUTTONS_YES_NO : GTK_BUTTONS_OK, "%s", AnsiToUtf8(text).c_str());
  Gtk().gtk_window_set_title(GTK_WINDOW(FDialog), AnsiToUtf8(caption).c_str());
  // Above the show's window, which covers the screen.
  Gtk().gtk_window_set_keep_above(GTK_WINDOW(FDialog), TRUE);
  if (IsOverrideRedirect(owner)) {
    Gtk().gtk_widget_realize(FDialog);
    GdkWindow* window = Gtk().gtk_widget_get_window(FDialog);
    if (window && IsInstanceOf(window, Gtk().gdk_x11_window_get_type())) {
      Gtk().gdk_window_set_override_redirect(window, TRUE);
      FUnmanaged = true;
    }
  }
  Gtk().gtk_window_set_position(GTK_WINDOW(FDialog), GTK_WIN_POS_CENTER);
  // Yes is the default button, as in the system's Yes/No box.
  Gtk().gtk_dialog_set_default_response(GTK_DIALOG(FDialog),
                                        yesNo ? GTK_RESPONSE_YES : GTK_RESPONSE_OK);
  ConnectSignal(FDialog, "response", G_CALLBACK(OnResponse), this);
  // Escape and the close button answer through "response"; the box itself stays ours.
  ConnectSignal(FDialog, "delete-event", G_CALLBACK(Gtk().gtk_true), nullptr);
  // Once it is on the screen, the box takes the keyboard from the show's window (without a
  // window manager nobody else hands it over).
  ConnectSignal(FDialog, "map-event", G_CALLBACK(OnMapped), this);
}

gboolean TGtkMessageBox::OnMapped(GtkWidget* widget, GdkEvent*, gpointer self) {
  GdkWindow* window = Gtk().gtk_widget_get_window(widget);
  if (!window) return FALSE;
  Gtk().gdk_window_raise(window);
  if (static_cast<TGtkMessageBox*>(self)->FUnmanaged) {
    // A window manager hands the keyboard only to the windows it manages.
    GdkDisplay* display = Gtk().gdk_window_get_display(window);
    Gtk().gdk_x11_display_error_trap_push(display);
    Gtk().XSetInputFocus(Gtk().gdk_x11_display_get_xdisplay(display),
                         Gtk().gdk_x11_window_get_xid(window), RevertToParent, CurrentTime);
    Gtk().gdk_x11_display_error_trap_pop_ignored(display);
  } else {
    Gtk().gdk_window_focus(window, GDK_CURRENT_TIME);
  }
  return FALSE;
}

TGtkMessageBox::~TGtkMessageBox() {
  if (FDialog) Gtk().gtk_widget_destroy(FDialog);
}

void TGtkMessageBox::OnResponse(GtkDialog*, gint response, gpointer self) {
  auto* box = static_cast<TGtkMessageBox*>(self);
  switch (response) {
    case GTK_RESPONSE_YES:
      box->FResult = TModalResult::mrYes;
      break;
    case GTK_RESPONSE_OK:
      box->FResult = TModalResult::mrOk;
      break;
    default:  // No, Escape, the close button
      box->FResult =
          box->FKind == TMsgBoxKind::mbInformationYesNo ? TModalResult::mrNo : TModalResult::mrOk;
      break;
  }
}

TModalResult TGtkMessageBox::Run() {
  Gtk().gtk_widget_show_all(FDialog);
  Gtk().gtk_window_present(GTK_WINDOW(FDialog));
  TSdlApplication& application = FToolkit.Application();
  while (FResult == TModalResult::mrNone) {
    application.WaitMessage(TApplication::Infinite);
    application.ProcessMessages();
  }
  Gtk().gtk_widget_hide(FDialog);
  return FResult;
}

void TGtkMessageBox::Cancel() {
  if (FResult != TModalResult::mrNone) return;
  FResult = FKind == TMsgBoxKind::mbInformationYesNo ? TModalResult::mrNo : TModalResult::mrOk;
  // Wakes the loop in Run.
  FToolkit.Application().WakeMainThread();
}

}  // namespace tovrin
