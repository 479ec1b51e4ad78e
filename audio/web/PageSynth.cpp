// The page's built-in synthesizer. It is FluidSynth still, but the page's (npm's js-synthesizer,
// in an AudioWorklet: web/quelvane-music.js), with the same SoundFont as the desktop's default.
// The sequencer keeps running here, inside the mixer, so the pieces loop and stop exactly as on
// the desktop; each message goes to the page with the sample frame it falls on, and the page plays
// it on the synthesizer or on the Web MIDI output the player chose. What this synthesizer adds to
// the game's own mix is silence.
#include <emscripten.h>

#include <algorithm>

#include "audio/BuiltInSynth.h"

namespace {

EM_JS(void, startPageMusic, (double sampleRate), {
    if (Module['quelvaneMusic'])
        Module['quelvaneMusic'].start(sampleRate);
});

EM_JS(void, sendToPage, (const uint8_t* message, int length, double frame), {
    if (Module['quelvaneMusic'])
        Module['quelvaneMusic'].send(HEAPU8.slice(message, message + length), frame);
});

class PageSynth : public BuiltInSynth {
  public:
    void send(const uint8_t* message, std::size_t length) override {
        if (length > 0)
            sendToPage(message, static_cast<int>(length), framesRendered_);
    }
    void render(float* stereo, uint32_t frames) override {
        std::fill_n(stereo, static_cast<std::size_t>(frames) * 2, 0.0f);
        framesRendered_ += frames;
    }

  private:
    // Sample frames rendered since the start: the time of each message, for the page.
    double framesRendered_ = 0;
};

}  // namespace

std::unique_ptr<BuiltInSynth> makeBuiltInSynth(const std::vector<std::filesystem::path>&,
                                               uint32_t sampleRate) {
    // The page loads its SoundFont itself, in the background; the music starts once it is in.
    startPageMusic(sampleRate);
    return std::make_unique<PageSynth>();
}
