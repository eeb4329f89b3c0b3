// The window program's command line: its own options, a snapshot given as a file, the toolkit's
// options passed on in order; and message boxes that show an "@" as it is written.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Tooltip.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/window_options.h"
#include "cli/options.h"
#include "commands/message_box.h"
#include "moravel_version.h"

namespace moravel {
namespace {

// Stands for the toolkit: "-g" and "-geometry" take a value, "-iconic" none.
int fakeToolkit(const std::vector<std::string>& arguments, std::size_t at) {
    const std::string& option = arguments[at];
    if (option == "-iconic") return 1;
    if ((option == "-g" || option == "-geometry") && at + 1 < arguments.size()) return 2;
    return 0;
}

WindowOptions parse(std::vector<std::string> words) {
    words.insert(words.begin(), "moravel");
    return parseWindowOptions(words, fakeToolkit);
}

using Words = std::vector<std::string>;

TEST(WindowOptions, ASnapshotByOptionOrAsTheOneFileAndTheToolkitsOptionsPassedOnInOrder) {
    EXPECT_EQ(parse({}).snapshot, "");
    EXPECT_EQ(parse({}).toolkitArguments, Words{"moravel"});
    EXPECT_EQ(parse({"--snapshot", "a.json"}).snapshot, "a.json");
    EXPECT_EQ(parse({"--snapshot=a.json"}).snapshot, "a.json");
    EXPECT_EQ(parse({"/home/ana/My PC.json"}).snapshot, "/home/ana/My PC.json");
    EXPECT_EQ(parse({"--", "-odd name.json"}).snapshot, "-odd name.json");

    const WindowOptions mixed = parse({"-g", "800x600", "b.json", "-iconic"});
    EXPECT_EQ(mixed.snapshot, "b.json");
    EXPECT_EQ(mixed.toolkitArguments, (Words{"moravel", "-g", "800x600", "-iconic"}));
    EXPECT_FALSE(mixed.help || mixed.version);
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"-h"}).help);
    EXPECT_TRUE(parse({"--version"}).version);
}

TEST(WindowOptions, WhatCannotBeUsedIsRefused) {
    for (const Words& words :
         {Words{"--bogus"}, Words{"-bogus"}, Words{"--snapshot"}, Words{"--snapshot="}, Words{"a.json", "b.json"},
          Words{"--snapshot", "a.json", "b.json"}, Words{"-geometry"}, Words{"--geometry", "800x600"}})
        EXPECT_THROW(parse(words), UsageError) << words[0];
}

TEST(WindowOptions, TheToolkitReadsItsOwnOptionsAndItsAbbreviations) {
    // Options whose effect the test can undo: the process's later tests see the toolkit as it was.
    const std::vector<std::string> words{"moravel", "-notooltips", "-nok", "c.json", "-kbd"};
    const WindowOptions options = parseWindowOptions(words, toolkitOption);
    Fl_Tooltip::enable(1);
    Fl::visible_focus(1);
    EXPECT_EQ(options.snapshot, "c.json");
    EXPECT_EQ(options.toolkitArguments, (Words{"moravel", "-notooltips", "-nok", "-kbd"}));
    EXPECT_THROW(parseWindowOptions({"moravel", "-geometry", "not-a-size"}, toolkitOption), UsageError);
    EXPECT_THROW(parseWindowOptions({"moravel", "-unknown"}, toolkitOption), UsageError);
}

TEST(WindowOptions, HelpAndVersionArePrintedAndAnUnusableLineIsOneLineWithStatusTwo) {
    WindowOptions options;
    std::ostringstream out, err;
    EXPECT_EQ(readCommandLine({"moravel", "--help"}, options, out, err), 0);
    EXPECT_EQ(out.str(), kWindowUsage);
    EXPECT_EQ(err.str(), "");

    out.str("");
    EXPECT_EQ(readCommandLine({"moravel", "--version"}, options, out, err), 0);
    EXPECT_EQ(out.str(), "moravel " MORAVEL_VERSION "\n");

    out.str("");
    EXPECT_EQ(readCommandLine({"moravel", "--snapshot=x\x1b[2J.json", "--bogus"}, options, out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "moravel: unknown option '--bogus' (see --help)\n");

    err.str("");
    EXPECT_EQ(readCommandLine({"moravel", "a.json", "line\nfeed.json"}, options, out, err), 2);
    EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();  // one line, the feed escaped

    EXPECT_EQ(readCommandLine({"moravel", "a.json"}, options, out, err), std::nullopt);
    EXPECT_EQ(options.snapshot, "a.json");
}

// The message box's text, read while it is shown, and the box then dismissed.
struct ShownBox {
    std::string title, label;
    int measuredWidth = 0;
};
ShownBox shownBox;

void readAndDismissBox(void*) {
    for (Fl_Window* window = Fl::first_window(); window; window = Fl::next_window(window)) {
        if (!window->label() || std::string(window->label()) != "Not opened here") continue;
        for (int i = 0; i < window->children(); ++i) {
            Fl_Widget* child = window->child(i);
            if (child->label() && std::string(child->label()).find("snapshot") != std::string::npos) {
                shownBox.title = window->label();
                shownBox.label = child->label();
                int w = 0, h = 0;
                fl_font(child->labelfont(), child->labelsize());
                fl_measure(child->label(), w, h);
                shownBox.measuredWidth = w;
            }
        }
        window->hide();
        return;
    }
    Fl::repeat_timeout(0.02, readAndDismissBox);
}

TEST(MessageBox, AnAtInTheTextIsDrawnAsItIsWritten) {
    EXPECT_EQ(literalLabel("CPU @ 3.60GHz and ana@example.org"), "CPU @@ 3.60GHz and ana@@example.org");
    EXPECT_EQ(literalLabel("@@"), "@@@@");

    const std::string text = "the snapshot /home/ana/@menu/pc@home.json cannot be read";
    Fl::add_timeout(0.02, readAndDismissBox);
    alertBox("Not opened here", text);
    EXPECT_EQ(shownBox.title, "Not opened here");
    EXPECT_EQ(shownBox.label, literalLabel(text));
    // Drawn as symbols, the text would be cut at its last "@"; as text it is as wide as itself.
    fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
    EXPECT_NEAR(shownBox.measuredWidth, fl_width(text.c_str()), 1.0);
}

TEST(MessageBox, ALongReasonIsBrokenIntoLinesThatFitAndLosesNoCharacter) {
    fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
    const std::string reason = "moravel: /home/ana/Documents/Rechner/Ger\xC3\xA4te/alt/2024/" + std::string(60, 'x') +
                               ".json: not valid JSON: parse error at line 1, column 14: syntax error";
    const std::string broken = brokenIntoLines(reason + "\nsecond line", 300);
    std::string joined;
    std::size_t from = 0;
    for (std::size_t end; (end = broken.find('\n', from)) != std::string::npos || from <= broken.size();
         from = end + 1) {
        if (end == std::string::npos) end = broken.size();
        const std::string line = broken.substr(from, end - from);
        EXPECT_LE(fl_width(line.c_str()), 300) << line;
        joined += line;
    }
    // Only the blank where a line was broken is gone; the given line end stays a line end.
    std::string expected = reason + "second line";
    std::string withoutBlanks = joined, expectedWithoutBlanks;
    for (char c : expected)
        if (c != ' ') expectedWithoutBlanks += c;
    withoutBlanks.erase(std::remove(withoutBlanks.begin(), withoutBlanks.end(), ' '), withoutBlanks.end());
    EXPECT_EQ(withoutBlanks, expectedWithoutBlanks);
    EXPECT_NE(broken.find("2024/\n"), std::string::npos) << broken;  // a path breaks after a slash
    EXPECT_EQ(brokenIntoLines("short", 300), "short");
}

}  // namespace
}  // namespace moravel
