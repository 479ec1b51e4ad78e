#pragma once

#include <filesystem>
#include <optional>
#include <string>

// "MidiDevice.ini": one line, the description of the chosen MIDI port, nothing else. Written by
// tonspire, read by the game and by tonspire (to preselect the previous choice).
inline constexpr const char* kDeviceSettingsFile = "MidiDevice.ini";

// Longest port description the file carries; a longer first line is cut to this many characters.
inline constexpr std::size_t kMaxDeviceNameLength = 127;

// nullopt when the file cannot be opened; else the first line, at most 127 characters, a CR before
// the LF removed. An empty file gives the empty name.
std::optional<std::string> readDeviceSettings(const std::filesystem::path& file);

// Writes exactly text (no line end) so that a crash or a full disk never leaves a half-written or
// empty file: temporary file in the same folder, fsync, rename over; false on any failure, the old
// file intact.
bool writeDeviceSettings(const std::filesystem::path& file, const std::string& text);
