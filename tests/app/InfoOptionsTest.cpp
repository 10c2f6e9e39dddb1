// The options that only print: --help and -h give the usage with LF line ends, --version the
// version; anything else, or one of them among other arguments, is not such an option.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/InfoOptions.h"
#include "app/UsageText.h"

namespace {

TEST(InfoOptions, HelpAndVersionAloneOnTheCommandLine) {
    const auto help = InfoOptionText({"--help"});
    ASSERT_TRUE(help);
    EXPECT_EQ(*help, ConsoleUsageText());
    EXPECT_NE(help->find("\ttavik json bufr-файл <путь для сохранения>\n"), std::string::npos);
    EXPECT_NE(help->find("\ttavik csv bufr-файл <путь для сохранения>\n"), std::string::npos);
    EXPECT_EQ(InfoOptionText({"-h"}), help);
    EXPECT_EQ(help->find('\r'), std::string::npos);
    // The ten lines of the help window, then the four of the data commands.
    EXPECT_EQ(std::count(help->begin(), help->end(), '\n'), 14);
    EXPECT_EQ(help->back(), '\n');
    EXPECT_EQ(help->substr(0, help->find('\n')), UsageText().substr(0, UsageText().find('\r')));

    const auto version = InfoOptionText({"--version"});
    ASSERT_TRUE(version);
    EXPECT_EQ(version->rfind("Тавик ", 0), 0u);
    EXPECT_EQ(version->back(), '\n');
}

TEST(InfoOptions, EverythingElseStaysAFileNameOrACommand) {
    const std::vector<std::vector<std::string>> others = {
        {}, {"-H"}, {"--HELP"}, {"--help=1"}, {"help"}, {"--versions"}, {"temp.bufr"},
        {"--help", "temp.bufr"}, {"DECODE", "--help"}, {"--version", "--help"},
    };
    for (const auto& args : others)
        EXPECT_FALSE(InfoOptionText(args)) << (args.empty() ? std::string("(none)") : args[0]) << " of " << args.size();
}

}  // namespace
