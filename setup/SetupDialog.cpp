#include "setup/SetupDialog.h"

#include <iostream>

#include "audio/DeviceSettings.h"

SetupDialog::SetupDialog(DeviceChoice& choice) : choice_(choice) {
    set_title("Tonspire");
    set_resizable(false);
    set_position(Gtk::WIN_POS_CENTER);
    set_border_width(10);

    label_.set_halign(Gtk::ALIGN_START);
    ports_.set_size_request(220, -1);
    for (const std::string& name : choice_.entries()) {
        ports_.append(name);
    }
    ports_.set_active(choice_.selection() ? static_cast<int>(*choice_.selection()) : -1);
    choiceColumn_.pack_start(label_, Gtk::PACK_SHRINK);
    choiceColumn_.pack_start(ports_, Gtk::PACK_SHRINK);
    buttonColumn_.pack_start(accept_, Gtk::PACK_SHRINK);
    buttonColumn_.pack_start(cancel_, Gtk::PACK_SHRINK);
    columns_.pack_start(choiceColumn_, Gtk::PACK_EXPAND_WIDGET);
    columns_.pack_start(buttonColumn_, Gtk::PACK_SHRINK);
    add(columns_);

    accept_.get_style_context()->add_class("suggested-action");
    accept_.set_can_default(true);
    set_default(accept_);
    ports_.signal_changed().connect(sigc::mem_fun(*this, &SetupDialog::onChanged));
    accept_.signal_clicked().connect(sigc::mem_fun(*this, &SetupDialog::onAccept));
    cancel_.signal_clicked().connect(sigc::mem_fun(*this, &SetupDialog::hide));
    signal_key_press_event().connect(sigc::mem_fun(*this, &SetupDialog::onKeyPress), false);

    show_all_children();
    ports_.grab_focus();
}

void SetupDialog::onChanged() {
    const int row = ports_.get_active_row_number();
    choice_.select(row >= 0 ? std::optional<std::size_t>(row) : std::nullopt);
}

void SetupDialog::onAccept() {
    switch (choice_.accept(kDeviceSettingsFile)) {
        case DeviceChoice::AcceptResult::NothingSelected:
            error_bell();
            return;
        case DeviceChoice::AcceptResult::WriteFailed:
            std::cerr << "tonspire: could not write " << kDeviceSettingsFile << '\n';
            writeFailed_ = true;
            break;
        case DeviceChoice::AcceptResult::Written:
            break;
    }
    hide();
}

bool SetupDialog::onKeyPress(GdkEventKey* event) {
    switch (event->keyval) {
        case GDK_KEY_Escape:
            hide();
            return true;
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
        case GDK_KEY_ISO_Enter:
            // Cancel takes Enter itself when it has the focus; anywhere else Enter means Accept.
            if (get_focus() == &cancel_) {
                return false;
            }
            onAccept();
            return true;
        default:
            return false;
    }
}
