#pragma once

#include <filesystem>

namespace quelvane {

// A folder of its own to play a recorded game in, with a settings file, so that the game needs
// none of the working directory's files and touches none of them. The working directory is the
// scratch folder while it lasts, and the one before once it ends; the folder goes with it.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // False when the folder could not be made or entered.
    bool entered() const { return entered_; }

  private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
    bool entered_ = false;
};

}  // namespace quelvane
