#include "audio/Sequencer.h"

#include <algorithm>

Sequencer::Sequencer(MidiOutput& output, uint32_t sampleRate)
    : output_(output), rate_(sampleRate) {}

int64_t Sequencer::frameAt(int64_t micros) const {
    // Pieces are at most a day long, so this stays far from overflow.
    return micros * rate_ / 1'000'000;
}

void Sequencer::play(std::shared_ptr<const MidiPiece> piece, uint32_t repeats) {
    silence();
    piece_ = std::move(piece);
    repeatsLeft_ = repeats;
    next_ = 0;
    position_ = 0;
    endFrame_ = piece_ ? frameAt(piece_->lengthMicros) : 0;
}

void Sequencer::stop() {
    piece_.reset();
    silence();
}

void Sequencer::silence() {
    for (uint8_t channel = 0; channel < 16; ++channel) {
        const uint8_t status = 0xB0 | channel;
        const uint8_t notesOff[] = {status, 123, 0};
        const uint8_t soundOff[] = {status, 120, 0};
        const uint8_t resetControllers[] = {status, 121, 0};
        output_.send(notesOff, 3);
        output_.send(soundOff, 3);
        output_.send(resetControllers, 3);
    }
}

void Sequencer::dispatchDue() {
    while (piece_) {
        const auto& events = piece_->events;
        while (next_ < events.size() && frameAt(events[next_].micros) <= position_) {
            const MidiEvent& e = events[next_++];
            output_.send(piece_->bytes.data() + e.offset, e.length);
        }
        if (next_ < events.size() || position_ < endFrame_) {
            return;
        }
        // A piece of no length plays once: looping it would never let time move on.
        if (repeatsLeft_ == 0 || endFrame_ == 0) {
            piece_.reset();
            return;
        }
        if (repeatsLeft_ != MusicSegment::kRepeatForever) {
            --repeatsLeft_;
        }
        position_ -= endFrame_;
        next_ = 0;
    }
}

uint32_t Sequencer::step(uint32_t maxFrames) {
    dispatchDue();
    if (!piece_) {
        return maxFrames;
    }
    const auto& events = piece_->events;
    const int64_t until =
        next_ < events.size() ? frameAt(events[next_].micros) - position_ : endFrame_ - position_;
    const auto n = static_cast<uint32_t>(std::min<int64_t>(until, maxFrames));
    position_ += n;
    return n;
}
