#include "app/InfoOptions.h"

#include <array>
#include <string_view>

#include "app/UsageText.h"

namespace {

std::string VersionText() { return std::string("Тавик ") + TAVIK_VERSION + "\n"; }

struct InfoOption {
    std::string_view word;
    std::string (*text)();
};

constexpr std::array<InfoOption, 3> InfoOptions = {{
    {"--help", ConsoleUsageText},
    {"-h", ConsoleUsageText},
    {"--version", VersionText},
}};

}  // namespace

std::optional<std::string> InfoOptionText(const std::vector<std::string>& args) {
    if (args.size() != 1) return std::nullopt;
    for (const InfoOption& option : InfoOptions)
        if (args[0] == option.word) return option.text();
    return std::nullopt;
}
