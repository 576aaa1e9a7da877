// TGtkSetupDialog: the setup dialog drawn with GTK 3's own controls at the model's layout.
//
// Labels, the check boxes and the OK button sit on a fixed layout at the model's places, scaled
// from 96 dots per inch to the desktop's; the e-mail and web lines are links (blue, underlined,
// the hand cursor over them) that report their clicks to the model; Enter presses OK; the
// window's close button asks the model. GTK's events run from the application's loop
// (TGtkToolkit).
//
// The model's texts are in the package's code page (Windows-1252) and are shown converted.
#pragma once

#include <gtk/gtk.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "platform/sdl/gtk_toolkit.h"
#include "platform/setup_dialog.h"

namespace tovrin {

// A caption with "&" marking its mnemonic as GTK writes it ("_"); "&&" is a plain "&".
std::string MnemonicCaption(const std::string& caption);

class TGtkSetupDialog final : public TSetupDialogView {
 public:
  TGtkSetupDialog(TGtkToolkit& toolkit, TSetupDialogModel& model, int32_t pixelsPerInch);
  ~TGtkSetupDialog() override;
  TGtkSetupDialog(const TGtkSetupDialog&) = delete;
  TGtkSetupDialog& operator=(const TGtkSetupDialog&) = delete;

  TWindowHandle Handle() const override;
  void Show() override;
  void Refresh() override;
  void Close() override;

  // Runs when the view is destroyed.
  std::function<void()> OnDestroy;

 private:
  int32_t Scale(int32_t v) const;
  void Build();
  void ConnectLink(GtkWidget* box, TSetupItem item);
  GtkWidget* Widget(TSetupItem item) const { return FWidgets[static_cast<size_t>(item)]; }

  static void OnToggled(GtkToggleButton* button, gpointer self);
  static void OnClicked(GtkButton* button, gpointer self);
  static gboolean OnDelete(GtkWidget* widget, GdkEvent* event, gpointer self);
  static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self);
  static gboolean OnLinkPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
  static gboolean OnLinkEnter(GtkWidget* widget, GdkEventCrossing* event, gpointer self);
  static gboolean OnLinkLeave(GtkWidget* widget, GdkEventCrossing* event, gpointer self);

  TSetupDialogModel& FModel;
  const int32_t FPixelsPerInch;
  GtkWidget* FWindow = nullptr;
  // The widget showing each item: the label (inside its event box for the links), the check
  // button or the push button.
  std::array<GtkWidget*, SetupItemCount> FWidgets{};
  bool FRefreshing = false;
};

}  // namespace tovrin
