#include "platform/sdl/gtk_setup_dialog.h"

#include <gdk/gdkkeysyms.h>

#include <cstdio>

#include "core/ansi_text.h"
#include "core/errors.h"
#include "platform/sdl/gtk_library.h"

namespace tovrin {

namespace {

// The dialog's colours and fonts: the window's font is 8 points (11 pixels at 96 dpi), the
// title's 13 pixels and bold.
std::string DialogCss(TColor background) {
  char css[256];
  std::snprintf(css, sizeof css,
                "window, fixed, eventbox { background-color: rgb(%d,%d,%d); font-size: 11px; }\n"
                ".title { font-size: 13px; font-weight: bold; }\n",
                GetRValue(background), GetGValue(background), GetBValue(background));
  return css;
}

// The item a widget shows, for the signal handlers that several widgets share.
void SetItemData(GtkWidget* widget, TSetupItem item) {
  Gtk().g_object_set_data(G_OBJECT(widget), "tovrin-item", GINT_TO_POINTER(static_cast<int>(item)));
}

TSetupItem ItemOf(GtkWidget* widget) {
  return static_cast<TSetupItem>(
      GPOINTER_TO_INT(Gtk().g_object_get_data(G_OBJECT(widget), "tovrin-item")));
}

}  // namespace

std::string MnemonicCaption(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    const char c = caption[i];
    if (c == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      } else {
        out += '_';
      }
    } else if (c == '_') {
      out += "__";
    } else {
      out += c;
    }
  }
  return out;
}

TGtkSetupDialog::TGtkSetupDialog(TGtkToolkit&, TSetupDialogModel& model, int32_t pixelsPerInch)
    : FModel(model), FPixelsPerInch(pixelsPerInch > 0 ? pixelsPerInch : 96) {
  Build();
}

TGtkSetupDialog::~TGtkSetupDialog() {
  Close();
  if (OnDestroy) OnDestroy();
}

int32_t TGtkSetupDialog::Scale(int32_t v) const {
  return static_cast<int32_t>((static_cast<int64_t>(v) * FPixelsPerInch + 48) / 96);
}

void TGtkSetupDialog::Build() {
  FWindow = Gtk().gtk_window_new(GTK_WINDOW_TOPLEVEL);
  Gtk().gtk_window_set_resizable(GTK_WINDOW(FWindow), FALSE);
  Gtk().gtk_window_set_position(GTK_WINDOW(FWindow), GTK_WIN_POS_CENTER);
  Gtk().gtk_window_set_type_hint(GTK_WINDOW(FWindow), GDK_WINDOW_TYPE_HINT_DIALOG);

  GtkCssProvider* css = Gtk().gtk_css_provider_new();
  const std::string rules = DialogCss(ColorToRGB(FModel.BackgroundColor()));
  Gtk().gtk_css_provider_load_from_data(css, rules.c_str(), -1, nullptr);
  Gtk().gtk_style_context_add_provider_for_screen(Gtk().gdk_screen_get_default(),
                                                  GTK_STYLE_PROVIDER(css),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  Gtk().g_object_unref(css);

  GtkWidget* fixed = Gtk().gtk_fixed_new();
  Gtk().gtk_widget_set_size_request(fixed, Scale(FModel.ClientWidth()),
                                    Scale(FModel.ClientHeight()));
  Gtk().gtk_container_add(GTK_CONTAINER(FWindow), fixed);

  int32_t count = 0;
  const TSetupItemLayout* layout = FModel.Layout(count);
  for (int32_t i = 0; i < count; ++i) {
    const TSetupItemLayout& place = layout[i];
    // The widget placed in the dialog; the one showing the item is a link's label inside it.
    GtkWidget* widget = nullptr;
    GtkWidget*& shown = FWidgets[static_cast<size_t>(place.Item)];
    switch (place.Item) {
      case TSetupItem::siMute:
      case TSetupItem::siEveryMonitor:
        widget = shown = Gtk().gtk_check_button_new_with_label("");
        SetItemData(widget, place.Item);
        ConnectSignal(widget, "toggled", G_CALLBACK(OnToggled), this);
        break;
      case TSetupItem::siOK:
        widget = shown = Gtk().gtk_button_new_with_mnemonic("");
        Gtk().gtk_widget_set_can_default(widget, TRUE);
        ConnectSignal(widget, "clicked", G_CALLBACK(OnClicked), this);
        break;
      case TSetupItem::siEmail:
      case TSetupItem::siWeb: {
        GtkWidget* label = Gtk().gtk_label_new("");
        PangoAttrList* attrs = Gtk().pango_attr_list_new();
        Gtk().pango_attr_list_insert(attrs, Gtk().pango_attr_foreground_new(0, 0, 0xFFFF));
        Gtk().pango_attr_list_insert(attrs, Gtk().pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        Gtk().gtk_label_set_attributes(GTK_LABEL(label), attrs);
        Gtk().pango_attr_list_unref(attrs);
        GtkWidget* box = Gtk().gtk_event_box_new();
        Gtk().gtk_container_add(GTK_CONTAINER(box), label);
        ConnectLink(box, place.Item);
        shown = label;
        widget = box;
        break;
      }
      case TSetupItem::siTitle:
      case TSetupItem::siAuthor:
        widget = shown = Gtk().gtk_label_new("");
        if (place.Item == TSetupItem::siTitle) {
          Gtk().gtk_style_context_add_class(Gtk().gtk_widget_get_style_context(widget), "title");
        }
        break;
    }
    if (!widget) continue;
    if (place.Width > 0 && place.Height > 0) {
      Gtk().gtk_widget_set_size_request(widget, Scale(place.Width), Scale(place.Height));
    }
    Gtk().gtk_fixed_put(GTK_FIXED(fixed), widget, Scale(place.Left), Scale(place.Top));
  }
  if (GtkWidget* ok = Widget(TSetupItem::siOK))
    Gtk().gtk_window_set_default(GTK_WINDOW(FWindow), ok);
  ConnectSignal(FWindow, "delete-event", G_CALLBACK(OnDelete), this);
  ConnectSignal(FWindow, "key-press-event", G_CALLBACK(OnKeyPress), this);
  Refresh();
}

void TGtkSetupDialog::ConnectLink(GtkWidget* box, TSetupItem item) {
  SetItemData(box, item);
  Gtk().gtk_widget_add_events(
      box, GDK_BUTTON_PRESS_MASK | GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK);
  ConnectSignal(box, "button-press-event", G_CALLBACK(OnLinkPress), this);
  ConnectSignal(box, "enter-notify-event", G_CALLBACK(OnLinkEnter), this);
  ConnectSignal(box, "leave-notify-event", G_CALLBACK(OnLinkLeave), this);
}

TWindowHandle TGtkSetupDialog::Handle() const {
  if (!FWindow) return 0;
  GdkWindow* window = Gtk().gtk_widget_get_window(FWindow);
  if (!window || !IsInstanceOf(window, Gtk().gdk_x11_window_get_type())) return 0;
  return static_cast<TWindowHandle>(Gtk().gdk_x11_window_get_xid(window));
}

void TGtkSetupDialog::Show() {
  if (!FWindow) return;
  Gtk().gtk_widget_show_all(FWindow);
  Gtk().gtk_window_present(GTK_WINDOW(FWindow));
  // The first check box is the first in tab order.
  if (GtkWidget* first = Widget(TSetupItem::siMute)) Gtk().gtk_widget_grab_focus(first);
}

void TGtkSetupDialog::Refresh() {
  if (!FWindow) return;
  FRefreshing = true;
  Gtk().gtk_window_set_title(GTK_WINDOW(FWindow), AnsiToUtf8(FModel.Caption()).c_str());
  for (size_t i = 0; i < SetupItemCount; ++i) {
    const auto item = static_cast<TSetupItem>(i);
    GtkWidget* widget = Widget(item);
    if (!widget) continue;
    const std::string caption = AnsiToUtf8(FModel.ItemCaption(item));
    if (item == TSetupItem::siOK) {
      Gtk().gtk_button_set_label(GTK_BUTTON(widget), MnemonicCaption(caption).c_str());
    } else if (IsCheckBox(item)) {
      Gtk().gtk_button_set_label(GTK_BUTTON(widget), caption.c_str());
      Gtk().gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), FModel.Checked(item));
    } else {
      Gtk().gtk_label_set_text(GTK_LABEL(widget), caption.c_str());
    }
  }
  FRefreshing = false;
}

void TGtkSetupDialog::Close() {
  if (!FWindow) return;
  GtkWidget* window = FWindow;
  FWindow = nullptr;
  FWidgets.fill(nullptr);
  Gtk().gtk_widget_destroy(window);
}

void TGtkSetupDialog::OnToggled(GtkToggleButton* button, gpointer self) {
  auto* dialog = static_cast<TGtkSetupDialog*>(self);
  // A state set by Refresh is the model's own, not a click.
  if (!dialog->FRefreshing) dialog->FModel.ClickCheckBox(ItemOf(GTK_WIDGET(button)));
}

void TGtkSetupDialog::OnClicked(GtkButton*, gpointer self) {
  static_cast<TGtkSetupDialog*>(self)->FModel.ClickOK();
}

gboolean TGtkSetupDialog::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
  // The model decides; it closes the view through Close.
  static_cast<TGtkSetupDialog*>(self)->FModel.CloseRequest();
  return TRUE;
}

gboolean TGtkSetupDialog::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
  // Enter presses the default button whichever control has the focus.
  if (event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter) {
    static_cast<TGtkSetupDialog*>(self)->FModel.ClickOK();
    return TRUE;
  }
  return FALSE;
}

gboolean TGtkSetupDialog::OnLinkPress(GtkWidget* widget, GdkEventButton* event, gpointer self) {
  if (event->button != 1) return FALSE;
  const TSetupItem item = ItemOf(widget);
  static_cast<TGtkSetupDialog*>(self)->FModel.ClickLink(item);
  return TRUE;
}

gboolean TGtkSetupDialog::OnLinkEnter(GtkWidget* widget, GdkEventCrossing*, gpointer self) {
  const TSetupItem item = ItemOf(widget);
  if (GdkWindow* window = Gtk().gtk_widget_get_window(widget)) {
    GdkCursor* hand =
        Gtk().gdk_cursor_new_from_name(Gtk().gdk_window_get_display(window), "pointer");
    Gtk().gdk_window_set_cursor(window, hand);
    if (hand) Gtk().g_object_unref(hand);
  }
  static_cast<TGtkSetupDialog*>(self)->FModel.LinkMouseEnter(item);
  return FALSE;
}

gboolean TGtkSetupDialog::OnLinkLeave(GtkWidget* widget, GdkEventCrossing*, gpointer self) {
  const TSetupItem item = ItemOf(widget);
  if (GdkWindow* window = Gtk().gtk_widget_get_window(widget))
    Gtk().gdk_window_set_cursor(window, nullptr);
  static_cast<TGtkSetupDialog*>(self)->FModel.LinkMouseLeave(item);
  return FALSE;
}

}  // namespace tovrin
