#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// One track of a Standard MIDI File. Events may be added in any order; they are written sorted by
// time, and at one time meta events first, then program and controller changes, then note-offs
// before note-ons, so a note repeated back to back is never cut.
class MidiTrack {
  public:
    void name(const std::string& text);
    void tempo(uint32_t microsecondsPerQuarter);
    void timeSignature(int numerator, int denominatorPower);
    void program(int channel, int program, uint32_t tick = 0);
    void controller(int channel, int number, int value, uint32_t tick = 0);
    void note(int channel, int key, int velocity, uint32_t start, uint32_t length);
    // The end-of-track event; every event of the track must lie at or before it.
    void end(uint32_t tick);

    // The track chunk's body: delta-timed events.
    std::vector<uint8_t> body() const;

  private:
    struct Event {
        uint32_t tick;
        int rank;
        std::vector<uint8_t> data;
    };
    void add(uint32_t tick, int rank, std::vector<uint8_t> data);
    std::vector<Event> events;
};

// Writes format 1 with the given ticks per quarter note.
bool writeMidi(const std::string& path, int division, const std::vector<MidiTrack>& tracks);

}  // namespace assetgen
