#include "audio/PortNames.h"

#include <algorithm>

#include "audio/AlsaPortList.h"

namespace {

std::string withoutDigits(const std::string& name) {
    std::string out;
    std::copy_if(name.begin(), name.end(), std::back_inserter(out),
                 [](char c) { return c < '0' || c > '9'; });
    return out;
}

}  // namespace

std::vector<std::string> listPortDescriptions() {
    std::vector<std::string> names{kSoftwareSynthesizerName};
    for (AlsaPortInfo& p : listAlsaOutputPorts()) {
        names.push_back(std::move(p.description));
    }
    return names;
}

std::optional<std::size_t> findPort(const std::vector<std::string>& descriptions,
                                    const std::string& wanted) {
    for (std::size_t i = 0; i < descriptions.size(); ++i) {
        if (descriptions[i] == wanted) {
            return i;
        }
    }
    const std::string wantedLoose = withoutDigits(wanted);
    if (wantedLoose.empty()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < descriptions.size(); ++i) {
        if (withoutDigits(descriptions[i]) == wantedLoose) {
            return i;
        }
    }
    return std::nullopt;
}
