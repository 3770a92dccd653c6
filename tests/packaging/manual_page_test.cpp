// zarvelin-capture's manual page (packaging/zarvelin-capture.1) and its --help name the same
// options, so neither can gain or lose one without the other.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

namespace {

using OptionSet = std::set<std::string>;

// The words that begin with '-' at the start of a list of words ("-h, --help FILE" gives
// -h and --help); a value after '=' is not part of the name.
void LeadingOptions(const std::string& text, OptionSet& out) {
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (word == ",") continue;
        if (word[0] != '-') break;
        while (word.back() == ',') word.pop_back();
        out.insert(word.substr(0, word.find('=')));
    }
}

// --help: an option's line starts with two spaces and the option; continuation lines are
// indented further.
OptionSet HelpOptions(const std::string& help) {
    OptionSet out;
    std::istringstream in(help);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("  -", 0) == 0) LeadingOptions(line, out);
    }
    return out;
}

// The manual page: the tag lines (the line after .TP) of the OPTIONS section, with roff's
// minus signs, font changes and quotes taken out.
OptionSet ManualPageOptions(const std::string& roff) {
    OptionSet out;
    std::istringstream in(roff);
    std::string line;
    bool in_options = false;
    bool tag_next = false;
    while (std::getline(in, line)) {
        if (line.rfind(".SH", 0) == 0) {
            in_options = line.find("OPTIONS") != std::string::npos;
            continue;
        }
        if (!in_options) continue;
        if (line.rfind(".TP", 0) == 0) {
            tag_next = true;
            continue;
        }
        if (!tag_next) continue;
        tag_next = false;
        std::string plain;
        for (size_t i = 0; i < line.size(); i++) {
            if (line.compare(i, 2, "\\-") == 0) {
                plain += '-';
                i++;
            } else if (line.compare(i, 2, "\\f") == 0) {
                i += 2; // \fB, \fI, \fR, \fP
            } else if (line[i] != '"') {
                plain += line[i];
            }
        }
        if (!plain.empty() && plain[0] == '.') { // the macro (.B, .BI, .BR) itself
            const size_t space = plain.find(' ');
            plain = space == std::string::npos ? std::string() : plain.substr(space);
        }
        LeadingOptions(plain, out);
    }
    return out;
}

std::string Missing(const OptionSet& from, const OptionSet& in) {
    std::string list;
    for (const std::string& option : from)
        if (in.count(option) == 0) list += " " + option;
    return list;
}

TEST(ManualPage, ReadsOptionsFromHelpAndRoff) {
    const std::string help = "usage: tool [options]\n"
                             "Text that names --fake in passing.\n"
                             "\n"
                             "  --step MS            milliseconds (default 20)\n"
                             "  --out DIR            directory for --at and --all\n"
                             "                       --not-an-option starts this continuation\n"
                             "  -h, --help           this text\n"
                             "  --size=WxH           a value after an equals sign\n";
    EXPECT_EQ(HelpOptions(help), (OptionSet{"--step", "--out", "-h", "--help", "--size"}));

    const std::string roff = ".SH DESCRIPTION\n"
                             ".TP\n"
                             ".B \\-\\-not\\-here\n"
                             ".SH OPTIONS\n"
                             ".TP\n"
                             ".BI \\-\\-at \" part\" : time\\fR[\\fB,\\fIpart\\fB:\\fItime\\fR...]\n"
                             "Write the frame; see\n"
                             ".B \\-\\-out\n"
                             ".TP\n"
                             ".BR \\-h \", \" \\-\\-help\n"
                             ".TP\n"
                             "\\fB\\-\\-all\\fP\n"
                             ".SH EXIT STATUS\n"
                             ".TP\n"
                             ".B 2\n"
                             ".TP\n"
                             ".B \\-\\-late\n";
    EXPECT_EQ(ManualPageOptions(roff), (OptionSet{"--at", "-h", "--help", "--all"}));

    // A difference either way is reported by name.
    EXPECT_EQ(Missing(OptionSet{"--at", "--all", "--video"}, OptionSet{"--all"}), " --at --video");
    EXPECT_EQ(Missing(OptionSet{"--all"}, OptionSet{"--at", "--all"}), "");
}

TEST(ManualPage, NamesEveryOptionOfHelpAndNoOther) {
    FILE* pipe = popen("'" ZARVELIN_BINARY_DIR "/zarvelin-capture' --help", "r");
    ASSERT_NE(pipe, nullptr);
    std::string help;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) help.append(chunk, n);
    ASSERT_EQ(pclose(pipe), 0);

    std::ifstream page(ZARVELIN_SOURCE_DIR "/packaging/zarvelin-capture.1");
    ASSERT_TRUE(page.good());
    const std::string roff{std::istreambuf_iterator<char>(page), std::istreambuf_iterator<char>()};

    const OptionSet in_help = HelpOptions(help);
    const OptionSet in_page = ManualPageOptions(roff);
    // Both readings found the list, not just nothing on either side.
    EXPECT_GE(in_help.size(), 10u);
    EXPECT_EQ(in_help.count("--help"), 1u);
    EXPECT_EQ(Missing(in_help, in_page), "") << "in --help but not in packaging/zarvelin-capture.1";
    EXPECT_EQ(Missing(in_page, in_help), "") << "in packaging/zarvelin-capture.1 but not in --help";
}

} // namespace
