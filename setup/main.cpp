// tonspire: picks the MIDI port on which Quelvane plays its music and saves it in the working
// directory.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "audio/DeviceSettings.h"
#include "audio/PortNames.h"
#include "platform/DataFolders.h"
#include "setup/DeviceChoice.h"
#include "setup/SetupDialog.h"

namespace {

constexpr const char* kUsage =
    "Usage: tonspire [--list | --help]\n"
    "\n"
    "Without options, shows a dialog to choose the MIDI device on which Quelvane plays its music,\n"
    "and writes the choice to MidiDevice.ini in the current directory; installed, in\n"
    "$XDG_DATA_HOME/quelvane (by default ~/.local/share/quelvane), where the game reads it.\n"
    "\n"
    "  --list   print every MIDI device, one per line, as the dialog orders them, and exit\n"
    "  --help   show this text and exit\n";

// Listing the ports needs no audio system: the tool plays nothing, and the synthesizer's SoundFont
// alone would cost tens of megabytes.
std::vector<std::string> portNames() {
    std::vector<std::string> names = listPortDescriptions();
    DeviceChoice::sortEntries(names);
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << kUsage;
        return 2;
    }
    if (argc == 2) {
        if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
            std::cout << kUsage;
            return 0;
        }
        if (std::strcmp(argv[1], "--list") == 0) {
            for (const std::string& name : portNames()) {
                std::cout << name << '\n';
            }
            return 0;
        }
        std::cerr << "tonspire: unknown option '" << argv[1] << "'\n" << kUsage;
        return 2;
    }

    // Four plain controls draw no OpenGL, yet GTK on X11 loads the whole OpenGL stack to choose a
    // window visual: half the tool's memory and a third of a second. A choice the user made in
    // the environment stands.
    setenv("GDK_GL", "disable", 0);
    // Installed, the settings live in the player's data folder, where the game reads them.
    std::string error;
    if (!platform::enterDataFolder(
            platform::chooseDataFolders(platform::thisProgram(), std::getenv("XDG_DATA_HOME"),
                                        std::getenv("HOME")),
            false, error)) {
        std::cerr << "tonspire: " << error << '\n';
        return 1;
    }
    DeviceChoice choice(portNames(), readDeviceSettings(kDeviceSettingsFile));
    auto app = Gtk::Application::create("org.quelvane.tonspire", Gio::APPLICATION_NON_UNIQUE);
    SetupDialog dialog(choice);
    app->run(dialog);
    return dialog.writeFailed() ? 1 : 0;
}
