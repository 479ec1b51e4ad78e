#include "game/replay/ScratchFolder.h"

#include <stdlib.h>

#include <fstream>
#include <string>

namespace quelvane {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::error_code error;
    std::string pattern = (fs::temp_directory_path(error) / "quelvane-replay-XXXXXX").string();
    if (error || !::mkdtemp(pattern.data()))
        return;
    path_ = pattern;
    std::ofstream(path_ / "MidiDevice.ini") << "Software Synthesizer";
    previous_ = fs::current_path(error);
    if (!error)
        fs::current_path(path_, error);
    entered_ = !error;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    if (entered_)
        fs::current_path(previous_, ignored);
    if (!path_.empty())
        fs::remove_all(path_, ignored);
}

}  // namespace quelvane
