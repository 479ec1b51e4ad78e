#include "setup/DeviceChoice.h"

#include <algorithm>
#include <utility>

#include "audio/DeviceSettings.h"

namespace {

// Port descriptions are ASCII in practice; bytes above 127 (UTF-8) compare as they are.
unsigned char foldCase(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

std::string folded(const std::string& text) {
    std::string result(text.size(), '\0');
    std::transform(text.begin(), text.end(), result.begin(),
                   [](char c) { return static_cast<char>(foldCase(c)); });
    return result;
}

// Names equal but for case still get a fixed order, so the list never depends on the input order.
bool lessIgnoringCase(const std::string& a, const std::string& b) {
    const std::string foldedA = folded(a);
    const std::string foldedB = folded(b);
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

bool startsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    return prefix.size() <= text.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char x, char y) { return foldCase(x) == foldCase(y); });
}

}  // namespace

DeviceChoice::DeviceChoice(std::vector<std::string> portNames,
                           const std::optional<std::string>& savedName)
    : entries_(std::move(portNames)) {
    sortEntries(entries_);
    selection_ = preselect(entries_, savedName.value_or(std::string()));
}

void DeviceChoice::select(std::optional<std::size_t> index) {
    selection_ = (index && *index < entries_.size()) ? index : std::nullopt;
}

DeviceChoice::AcceptResult DeviceChoice::accept(const std::filesystem::path& file,
                                                std::string* reason) const {
    if (!selection_) {
        return AcceptResult::NothingSelected;
    }
    return writeDeviceSettings(file, entries_[*selection_], reason) ? AcceptResult::Written
                                                                    : AcceptResult::WriteFailed;
}

void DeviceChoice::sortEntries(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), lessIgnoringCase);
}

std::optional<std::size_t> DeviceChoice::preselect(const std::vector<std::string>& sortedEntries,
                                                   const std::string& saved) {
    for (std::size_t i = 0; i < sortedEntries.size(); ++i) {
        if (startsWithIgnoringCase(sortedEntries[i], saved)) {
            return i;
        }
    }
    return std::nullopt;
}
