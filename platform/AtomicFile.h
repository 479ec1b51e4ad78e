#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// What to do when no temporary file can be made beside the file, as in a folder the user may not
// write to that holds a file they may.
enum class InPlaceWrite {
    // Fail and keep the old contents whole: for files that a torn write would ruin.
    Never,
    // Truncate and rewrite the file itself: it is saved, though a crash meanwhile can tear it.
    WhenNoTemporaryFile,
};

// Replaces the contents of file with bytes so that a crash or a kill at any moment leaves the old
// contents or the new ones and no temporary file. The new contents go to an unnamed temporary file
// in the file's own folder, are flushed, and the file is linked under a temporary name and renamed
// over the old one; then the folder is flushed. Where the file system has no unnamed files a named
// one is used, and temporary files that killed writers left behind are removed first.
//
// A symbolic link stays: the file it leads to is replaced. An existing file keeps its permission
// bits, and its owner where the system allows; a new one gets the usual 0666 less the umask. On
// failure returns false with the old file as it was and, when reason is given, sets it to the
// system's message (for instance "Permission denied").
bool replaceFileContents(const std::filesystem::path& file, std::string_view bytes,
                         InPlaceWrite inPlace, std::string* reason = nullptr);

}  // namespace platform
