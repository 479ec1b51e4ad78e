#pragma once

#include <filesystem>
#include <optional>
#include <string>

// "MidiDevice.ini": one line, the description of the chosen MIDI port, nothing else. Written by
// tonspire, read by the game and by tonspire (to preselect the previous choice).
inline constexpr const char* kDeviceSettingsFile = "MidiDevice.ini";

// Longest port description the file carries; a longer first line is cut to this many characters.
inline constexpr std::size_t kMaxDeviceNameLength = 127;

// A port description as the file can carry it: at most 127 bytes, never cut inside a UTF-8
// sequence.
std::string limitDescription(std::string description);

// nullopt when the file cannot be opened; else the first line, at most 127 characters, a CR before
// the LF removed, and ending at a NUL byte as the zero-terminated text it is. An empty file gives
// the empty name.
std::optional<std::string> readDeviceSettings(const std::filesystem::path& file);

// Writes exactly text (no line end) so that a crash or a full disk never leaves a half-written or
// empty file: a temporary file beside it, flushed and renamed over it. Where no temporary file can
// be made there but the file itself may be written (a folder the user may not write to), the file
// is rewritten in place. False on failure, the old file intact (unless that in-place write failed
// part way) and reason, when given, set to the system's message.
bool writeDeviceSettings(const std::filesystem::path& file, const std::string& text,
                         std::string* reason = nullptr);
