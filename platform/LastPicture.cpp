#include "platform/LastPicture.h"

#include <cstddef>

#include "platform/PausedBanner.h"
#include "platform/PictureReport.h"

namespace platform {

void LastPicture::open(int width, int height) {
    close();
    width_ = width;
    height_ = height;
}

void LastPicture::close() {
    last_ = nullptr;
    paused_ = false;
    pausedPicture_.clear();
    width_ = height_ = 0;
}

void LastPicture::presented(const uint32_t* pixels, int pitch) {
    last_ = pixels;
    pitch_ = pitch;
}

void LastPicture::setPaused(bool paused) {
    paused_ = paused;
    pausedPicture_.clear();
    if (paused && last_) {
        // A copy to write on: the game's own picture stays as it drew it.
        const std::size_t rowPixels = static_cast<size_t>(pitch_) / 4;
        pausedPicture_.assign(last_, last_ + rowPixels * height_);
        drawPausedBanner(pausedPicture_.data(), width_, height_, pitch_);
    }
}

const uint32_t* LastPicture::again() const {
    return paused_ && !pausedPicture_.empty() ? pausedPicture_.data() : last_;
}

void LastPicture::reportPaused() const {
    const char* file = pausedPictureFile();
    if (file && paused_ && !pausedPicture_.empty())
        reportPicture(file, pausedPicture_.data(), width_, height_, pitch_);
}

}  // namespace platform
