#pragma once

#include <gtkmm.h>

#include <memory>
#include <string>

#include "setup/DeviceChoice.h"

// The one window of tonspire: a label, the sorted list of MIDI ports, Accept (the default) and
// Cancel. Enter accepts unless a button has the focus, Escape cancels, closing the window is a
// Cancel. A choice that cannot be saved is shown in a message over the window, and the run ends
// when the user dismisses it.
class SetupDialog : public Gtk::Window {
  public:
    explicit SetupDialog(DeviceChoice& choice);

    // Whether the run ended with a settings file that could not be written.
    bool writeFailed() const { return writeFailed_; }

  private:
    void onChanged();
    void onAccept();
    bool onKeyPress(GdkEventKey* event);
    void showSaveFailure(const std::string& reason);

    DeviceChoice& choice_;
    bool writeFailed_ = false;
    std::unique_ptr<Gtk::MessageDialog> failure_;
    // The list on the left and the buttons on the right, so Tab goes list, Accept, Cancel.
    Gtk::Box columns_{Gtk::ORIENTATION_HORIZONTAL, 12};
    Gtk::Box choiceColumn_{Gtk::ORIENTATION_VERTICAL, 6};
    Gtk::Box buttonColumn_{Gtk::ORIENTATION_VERTICAL, 6};
    Gtk::Label label_{"Choose your MIDI device:"};
    Gtk::ComboBoxText ports_;
    Gtk::Button accept_{"Accept"};
    Gtk::Button cancel_{"Cancel"};
};
