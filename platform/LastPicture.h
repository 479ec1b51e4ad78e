#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// What a window shows again when it is uncovered, resized or paused: the last picture it was given,
// or while the game is paused a copy of it with "Paused" over it. The game's own picture stays as
// it drew it.
class LastPicture {
  public:
    // Pictures from now on are width x height; none is kept yet.
    void open(int width, int height);
    // Forgets the picture and the pause.
    void close();
    // The picture now shown; its pixels stay the window's until the next one.
    void presented(const uint32_t* pixels, int pitch);
    void setPaused(bool paused);

    // The picture to show again: the paused copy while paused, else the last one; null before the
    // first.
    const uint32_t* again() const;
    int pitch() const { return pitch_; }
    // Once the paused copy is shown: a test's file is given it (PictureReport.h).
    void reportPaused() const;

  private:
    int width_ = 0;
    int height_ = 0;
    const uint32_t* last_ = nullptr;
    int pitch_ = 0;
    bool paused_ = false;
    std::vector<uint32_t> pausedPicture_;
};

}  // namespace platform
