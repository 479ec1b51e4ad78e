#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What the setup dialog lists, which entry it selects and what Accept writes. Kept free of GTK so
// the dialog only shows these rules.
class DeviceChoice {
  public:
    enum class AcceptResult { NothingSelected, Written, WriteFailed };

    // portNames in any order; savedName is the first line of the settings file, none when it is
    // missing.
    DeviceChoice(std::vector<std::string> portNames, const std::optional<std::string>& savedName);

    // Alphabetical, ignoring letter case, as a sorted list box shows them.
    const std::vector<std::string>& entries() const { return entries_; }
    std::optional<std::size_t> selection() const { return selection_; }

    // Out-of-range indices clear the selection, as a list box with no active row has none.
    void select(std::optional<std::size_t> index);

    // With an entry selected, writes exactly its text to file (no line end); with none, does
    // nothing so the dialog stays open until the user picks one. When the write fails, reason (if
    // given) receives the system's message.
    AcceptResult accept(const std::filesystem::path& file, std::string* reason = nullptr) const;

    static void sortEntries(std::vector<std::string>& names);
    // The first entry that begins with saved, ignoring letter case; the first entry when saved is
    // empty.
    static std::optional<std::size_t> preselect(const std::vector<std::string>& sortedEntries,
                                                const std::string& saved);

  private:
    std::vector<std::string> entries_;
    std::optional<std::size_t> selection_;
};
