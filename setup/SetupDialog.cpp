#include "setup/SetupDialog.h"

#include <filesystem>
#include <iostream>
#include <system_error>

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
    std::string reason;
    switch (choice_.accept(kDeviceSettingsFile, &reason)) {
        case DeviceChoice::AcceptResult::NothingSelected:
            error_bell();
            return;
        case DeviceChoice::AcceptResult::WriteFailed:
            showSaveFailure(reason);
            return;
        case DeviceChoice::AcceptResult::Written:
            hide();
            return;
    }
}

// A player who started the tool from a menu sees no standard error: without this message they would
// learn only from the game that the choice was not kept.
void SetupDialog::showSaveFailure(const std::string& reason) {
    writeFailed_ = true;
    std::error_code error;
    std::filesystem::path file = std::filesystem::absolute(kDeviceSettingsFile, error);
    if (error) {
        file = kDeviceSettingsFile;
    }
    std::cerr << "tonspire: could not write " << file.string() << ": " << reason << '\n';
    failure_ =
        std::make_unique<Gtk::MessageDialog>(*this, "Your MIDI device could not be saved", false,
                                             Gtk::MESSAGE_ERROR, Gtk::BUTTONS_CLOSE, true);
    failure_->set_title("Tonspire");
    failure_->set_secondary_text("Writing " + file.string() + " failed: " + reason + ".");
    failure_->signal_response().connect([this](int) {
        failure_->hide();
        hide();
    });
    failure_->show();
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
