// zarvelin-capture's manual page (packaging/zarvelin-capture.1) and its --help name the same
// options and state the same values for them, so neither can change without the other.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

using OptionSet = std::set<std::string>;
// Each option with the text that describes it; "-h, --help" gives both names the same text.
using Entries = std::map<std::string, std::string>;

// The words that begin with '-' at the start of a list of words ("-h, --help FILE" gives
// -h and --help); a value after '=' is not part of the name.
OptionSet LeadingOptions(const std::string& text) {
    OptionSet out;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (word == ",") continue;
        if (word[0] != '-') break;
        while (word.back() == ',')
            word.pop_back();
        out.insert(word.substr(0, word.find('=')));
    }
    return out;
}

// Adds the line to the entries of the options it describes; with start, the line names them.
void Describe(Entries& entries, OptionSet& current, const std::string& line, bool start) {
    if (start) current = LeadingOptions(line);
    for (const std::string& option : current)
        entries[option] += line + " ";
}

// --help: an option's line starts with two spaces and the option; continuation lines are
// indented further; anything else ends the entry.
Entries HelpEntries(const std::string& help) {
    Entries out;
    OptionSet current;
    std::istringstream in(help);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("  -", 0) == 0) {
            Describe(out, current, line, true);
        } else if (line.rfind("    ", 0) == 0) {
            Describe(out, current, line, false);
        } else {
            current.clear();
        }
    }
    return out;
}

// roff's minus signs, multiplication signs, quotes and font changes made plain, and a
// macro (.B, .BI, .BR) left out of its line.
std::string PlainRoff(const std::string& line) {
    std::string plain;
    for (size_t i = 0; i < line.size(); i++) {
        if (line.compare(i, 2, "\\-") == 0) {
            plain += '-';
            i++;
        } else if (line.compare(i, 4, "\\(mu") == 0) {
            plain += " x ";
            i += 3;
        } else if (line.compare(i, 2, "\\(") == 0) {
            i += 3; // \(oq, \(cq
        } else if (line.compare(i, 2, "\\f") == 0) {
            i += 2; // \fB, \fI, \fR, \fP
        } else if (line[i] != '"') {
            plain += line[i];
        }
    }
    if (!plain.empty() && plain[0] == '.') {
        const size_t space = plain.find(' ');
        plain = space == std::string::npos ? std::string() : plain.substr(space);
    }
    return plain;
}

// The manual page: in the OPTIONS section, each tag line (the line after .TP) names the
// options, and the lines up to the next .TP or .SH describe them.
Entries ManualPageEntries(const std::string& roff) {
    Entries out;
    OptionSet current;
    std::istringstream in(roff);
    std::string line;
    bool in_options = false;
    bool tag_next = false;
    while (std::getline(in, line)) {
        if (line.rfind(".SH", 0) == 0) in_options = line.find("OPTIONS") != std::string::npos;
        if (line.rfind(".SH", 0) == 0 || line.rfind(".TP", 0) == 0) {
            tag_next = in_options && line[1] == 'T';
            current.clear();
        } else if (in_options) {
            Describe(out, current, PlainRoff(line), tag_next);
            tag_next = false;
        }
    }
    return out;
}

OptionSet Names(const Entries& entries) {
    OptionSet names;
    for (const auto& entry : entries)
        names.insert(entry.first);
    return names;
}

std::string Missing(const OptionSet& from, const OptionSet& in) {
    std::string list;
    for (const std::string& option : from)
        if (in.count(option) == 0) list += " " + option;
    return list;
}

// The values an option's text states, by kind: sizes, ranges, defaults, rates, settings.
std::map<std::string, OptionSet> Values(const std::string& text) {
    static const std::pair<const char*, std::regex> kKinds[] = {
        {"size", std::regex(R"((\d+) x (\d+))")},
        {"range", std::regex(R"((\d+) to (\d+))")},
        {"default", std::regex(R"(default (\d+)|(\w+) \([^)]*the default\))")},
        {"rate", std::regex(R"((\d+) (kbit/s|Hz))")},
        {"setting", std::regex(R"((preset|CRF) (\w+))")},
        {"scales", std::regex(R"(\(\d+(, \d+)* or \d+\))")},
    };
    const std::string spaced = std::regex_replace(text, std::regex(R"(\s+)"), " ");
    std::map<std::string, OptionSet> out;
    for (const auto& [kind, pattern] : kKinds) {
        for (std::sregex_iterator m(spaced.begin(), spaced.end(), pattern), end; m != end; ++m)
            out[kind].insert(m->str());
    }
    return out;
}

// For every option both describe: each kind of value stated by both must be the same set.
std::string DifferentValues(const Entries& help, const Entries& page) {
    std::string list;
    for (const auto& [option, help_text] : help) {
        const auto in_page = page.find(option);
        if (in_page == page.end()) continue;
        const auto page_values = Values(in_page->second);
        for (const auto& [kind, values] : Values(help_text)) {
            const auto other = page_values.find(kind);
            if (other == page_values.end() || other->second == values) continue;
            list += " " + option + ":";
            for (const std::string& v : values)
                list += " [" + v + "]";
            list += " against";
            for (const std::string& v : other->second)
                list += " [" + v + "]";
        }
    }
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
    EXPECT_EQ(Names(HelpEntries(help)), (OptionSet{"--step", "--out", "-h", "--help", "--size"}));

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
    EXPECT_EQ(Names(ManualPageEntries(roff)), (OptionSet{"--at", "-h", "--help", "--all"}));

    // A difference either way is reported by name.
    EXPECT_EQ(Missing(OptionSet{"--at", "--all", "--video"}, OptionSet{"--all"}), " --at --video");
    EXPECT_EQ(Missing(OptionSet{"--all"}, OptionSet{"--at", "--all"}), "");
}

TEST(ManualPage, ComparesTheValuesBothState) {
    const Entries help = HelpEntries("  --step MS     1 to 60000 (default 20)\n"
                                     "  --video FILE  AAC at 192\n"
                                     "                kbit/s, 640 x 480\n"
                                     "  --size SIZE   480p (640 x 480, the default)\n"
                                     "  --only-here   1 to 2\n");
    const Entries page = ManualPageEntries(".SH OPTIONS\n.TP\n.BI \\-\\-step \" ms\"\n"
                                           "1 to 60000 (default 40).\n"
                                           ".TP\n.BI \\-\\-video \" file\"\nAAC at 256 kbit/s.\n"
                                           ".TP\n.B \\-\\-size\n.B 480p\n(640\\(mu480, the default)\n");
    // Each difference is named; a kind that only one side states (the video's size) is not.
    EXPECT_EQ(DifferentValues(help, page),
              " --step: [default 20] against [default 40] --video: [192 kbit/s] against [256 kbit/s]");
    EXPECT_EQ(DifferentValues(page, page), "");
}

TEST(ManualPage, NamesEveryOptionOfHelpAndNoOther) {
    FILE* pipe = popen("'" ZARVELIN_BINARY_DIR "/zarvelin-capture' --help", "r");
    ASSERT_NE(pipe, nullptr);
    std::string help;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        help.append(chunk, n);
    ASSERT_EQ(pclose(pipe), 0);

    std::ifstream page(ZARVELIN_SOURCE_DIR "/packaging/zarvelin-capture.1");
    ASSERT_TRUE(page.good());
    const std::string roff{std::istreambuf_iterator<char>(page), std::istreambuf_iterator<char>()};

    const Entries help_entries = HelpEntries(help);
    const Entries page_entries = ManualPageEntries(roff);
    const OptionSet in_help = Names(help_entries);
    const OptionSet in_page = Names(page_entries);
    // Both readings found the list, not just nothing on either side.
    EXPECT_GE(in_help.size(), 10u);
    EXPECT_EQ(in_help.count("--help"), 1u);
    EXPECT_EQ(Missing(in_help, in_page), "") << "in --help but not in packaging/zarvelin-capture.1";
    EXPECT_EQ(Missing(in_page, in_help), "") << "in packaging/zarvelin-capture.1 but not in --help";
    EXPECT_EQ(DifferentValues(help_entries, page_entries), "")
        << "--help against packaging/zarvelin-capture.1";
    // The values were found at all (the bitrate, the sizes), not just missing on one side.
    EXPECT_EQ(Values(help_entries.at("--video"))["rate"], OptionSet{"256 kbit/s"});
    EXPECT_EQ(Values(page_entries.at("--size"))["size"].size(), 6u);
}

} // namespace
