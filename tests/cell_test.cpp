#include "cell.h"

#include <gtest/gtest.h>

#include "printed.h"

#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>

#include <string>
#include <vector>

namespace wlsurvey {
namespace {

/// A Cell from the lines after its header; the header's rest comes first, as the scan gives it.
Cell cellOf(std::vector<std::string_view> lines) {
    lines.insert(lines.begin(), "01 - Address: 00:11:22:33:44:55");
    return Cell(lines);
}

class CellTest : public testing::Test {
  protected:
    void TearDown() override { activeSSID.clear(); }
};

TEST_F(CellTest, NameLine) {
    struct Row {
        std::string_view line, essid;
        const char* why;
    };
    const Row rows[] = {
        {"ESSID:\"HomeNet\"", "HomeNet", "quotes removed"},
        {"ESSID:\"a\"", "a", "one-character name"},
        {"ESSID:\"\"", "\"\"", "hidden name stays two quotes"},
        {"ESSID:Bare", "Bare", "unquoted name taken whole"},
        {"ESSID:\"half", "hal", "last byte goes whatever it is"},
        {"ESSID:a\"", "a\"", "only a leading quote strips"},
        {"ESSID:", "", "empty name"},
        {"ESSID:\"Joe's \\x00 Cafe\"", "Joe's \\x00 Cafe", "escapes kept as printed"},
        {"ESSID:\"(Channel 6)\"", "(Channel 6)", "a name line is never read for a channel"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        const Cell cell = cellOf({row.line});
        EXPECT_EQ(cell.essid, row.essid);
        EXPECT_EQ(cell.channel, "");
    }
}

TEST_F(CellTest, ActiveWhenTheNameEqualsActiveSSIDExactly) {
    activeSSID = "HomeNet";
    EXPECT_TRUE(cellOf({"ESSID:\"HomeNet\""}).isActive);
    EXPECT_FALSE(cellOf({"ESSID:\"homenet\""}).isActive);
    EXPECT_FALSE(cellOf({"ESSID:\"HomeNet\"", "ESSID:\"Other\""}).isActive) << "last name decides";
    activeSSID.clear();
    EXPECT_TRUE(cellOf({"ESSID:"}).isActive) << "empty name equals an empty activeSSID";
}

TEST_F(CellTest, ChannelLines) {
    struct Row {
        std::vector<std::string_view> lines;
        std::string_view channel;
    };
    const Row rows[] = {
        {{"Channel:6"}, "6"},
        {{"Channel: 36 "}, " 36 "},
        {{"Frequency:2.437 GHz (Channel 11)"}, "11"},
        {{"Frequency:2.437 GHz (Channel 11)", "Channel:6"}, "6"},
        {{"Channel:6", "Frequency:5.18 GHz (Channel 36)"}, "36"},
        {{"x (Channel "}, ""},
        {{"x (Channel 1"}, ""},
        {{"Frequency:5.18 GHz"}, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(cellOf(row.lines).channel, row.channel) << testing::PrintToString(row.lines);
    }
}

TEST_F(CellTest, QualityLine) {
    struct Row {
        std::string_view line;
        std::int32_t percent, level;
        std::string_view bars;
        const char* why;
    };
    const Row rows[] = {
        {"Quality=58/70  Signal level=-52 dBm", 82, 4, "****", "cut at the first space"},
        {"Quality=31/70", 44, 3, "***-", ""},
        {"Quality=15/70", 21, 1, "*---", ""},
        {"Quality:4/5 Signal level:-60 dBm", 80, 4, "****", "colon form"},
        {"Quality=80/70", 114, 4, "****", "over 100 is shown as it is"},
        {"Quality=0/100", 0, 0, "----", ""},
        {"Quality:38 Signal level:16", 0, 0, "----", "no slash reads 0"},
        {"Quality=5/0", 0, 0, "----", "zero denominator reads 0"},
        {"Quality=5/x", 0, 0, "----", "unreadable denominator reads 0"},
        {"Quality=-5/70", -7, 0, "----", "negative quotient truncates toward zero"},
        {"Quality=99999999999/1", 2147483647, 4, "****", "clamped high"},
        {"Quality=-2147483648/-1", 2147483647, 4, "****", "clamped high from two negatives"},
        {"Quality=-99999999999/1", -2147483647 - 1, 0, "----", "clamped low"},
        {"Quality=7/70/100", 10, 1, "*---", "first slash splits"},
        {"Quality =58/70", 0, 0, "", "not a quality line"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        SCOPED_TRACE(row.why);
        const Cell cell = cellOf({row.line});
        EXPECT_EQ(cell.signalPercent, row.percent);
        EXPECT_EQ(cell.barLevel, row.level);
        EXPECT_EQ(cell.bars, row.bars);
    }
    EXPECT_EQ(cellOf({"Quality=70/70", "Quality=7/70"}).signalPercent, 10) << "last line decides";
}

TEST_F(CellTest, GaugeBounds) {
    const std::pair<std::int32_t, std::int32_t> bounds[] = {{-2147483647 - 1, 0},
                                                            {-1, 0},
                                                            {9, 0},
                                                            {10, 1},
                                                            {22, 1},
                                                            {23, 2},
                                                            {35, 2},
                                                            {36, 3},
                                                            {49, 3},
                                                            {50, 4},
                                                            {2147483647, 4}};
    const char* bars[] = {"----", "*---", "**--", "***-", "****"};
    for (const auto& [percent, level] : bounds) {
        EXPECT_EQ(gaugeLevel(percent), level) << percent;
        EXPECT_EQ(gaugeBars(percent), bars[level]) << percent;
    }
}

TEST_F(CellTest, SecurityFromElementLines) {
    struct Row {
        std::vector<std::string_view> lines;
        std::string_view security;
        const char* why;
    };
    const Row rows[] = {
        {{"IE: IEEE 802.11i/WPA2 Version 1"}, "WPA2 Version 1", "text from WPA on"},
        {{"IE: IEEE 802.11i/WPA2 Version 1", "IE: WPA Version 1"},
         "WPA Version 1",
         "the last element line decides"},
        {{"IE: WPA Version 1", "IE: Unknown: DD0900037F"},
         "WPA Version 1",
         "other element lines leave it"},
        {{"IE: WEP-104 WPA Version 1"}, "WPA Version 1", "WPA looked for before WEP"},
        {{"IE: Group WEP"}, "WEP", "WEP"},
        {{"Encryption key:on"}, "", "the key line is not read"},
        {{"Group Cipher : WPA"}, "", "only lines starting IE:"},
        {{"IE: WPA (Channel 6)"}, "", "taken by the channel rule first"},
        {{"IE:WPA2"}, "WPA2", "no space needed"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        EXPECT_EQ(cellOf(row.lines).security, row.security);
    }
}

TEST_F(CellTest, HighestBitRate) {
    struct Row {
        std::vector<std::string_view> lines;
        std::int32_t maxRate;
        const char* why;
    };
    const Row rows[] = {
        {{}, 1, "no rate line"},
        {{"Bit Rates:1 Mb/s; 2 Mb/s; 5.5 Mb/s; 11 Mb/s; 6 Mb/s", "9 Mb/s; 12 Mb/s; 18 Mb/s",
          "Bit Rates:24 Mb/s; 36 Mb/s; 48 Mb/s; 54 Mb/s"},
         54,
         "last figure of each line"},
        {{"Bit Rates:54 Mb/s; 6 Mb/s"}, 6, "not the largest on the line"},
        {{"Bit Rates:1 Mb/s; 5.5 Mb/s"}, 5, "a decimal point ends the figure"},
        {{"Bit Rates:0 Mb/s"}, 1, "0 leaves the start value"},
        {{"Bit Rates:6 Mb/s", "54 Mb/s"}, 54, "wrapped line of one figure"},
        {{"Bit Rates:6 Mb/s", "Mode:Master", "54 Mb/s"}, 6, "a colon closes the list"},
        {{"Extra: 300 Mb/s"}, 1, "not in a list"},
        {{"Bit Rates:144 Mb/s", "Bit Rates:6 Mb/s"}, 144, "never lowered"},
        {{"Bit Rates:9999999999 Mb/s"}, 2147483647, "saturates"},
        {{"Bit Rates:12 Mb/sx 1"}, 12, "last occurrence of the unit"},
        {{"Bit Rates:Mb/s 12"}, 1, "unit needs its space"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        EXPECT_EQ(cellOf(row.lines).maxRate, row.maxRate);
    }
}

TEST_F(CellTest, PrintWritesTheEightLineBlock) {
    struct Row {
        std::vector<std::string_view> lines;
        std::string_view report;
        const char* why;
    };
    const Row rows[] = {
        {{"Channel:6", "Quality=58/70  Signal level=-52 dBm", "Bit Rates:1 Mb/s; 54 Mb/s",
          "ESSID:\"HomeNet\"", "IE: IEEE 802.11i/WPA2 Version 1"},
         "*:*\nSSID: HomeNet\nMODE: Infra\nCHAN:6\nRATE: 54 Mbit/s\nSIGNAL: 82\n"
         "BARS: ****\nSECURITY: WPA2 Version 1\n",
         "active network with every value"},
        {{"ESSID:\"Far\"", "Quality=-5/70"},
         "*:\nSSID: Far\nMODE: Infra\nCHAN:\nRATE: 1 Mbit/s\nSIGNAL: -7\nBARS: ----\nSECURITY: \n",
         "negative signal"},
        {{},
         "*:\nSSID: \nMODE: Infra\nCHAN:\nRATE: 1 Mbit/s\nSIGNAL: 0\nBARS: \nSECURITY: \n",
         "header only: every starting value"},
    };
    activeSSID = "HomeNet";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        const Cell cell = cellOf(row.lines);
        EXPECT_EQ(printed([&](int out) { cell.print(out); }), row.report);
        EXPECT_EQ(cell.barLevel, gaugeLevel(cell.signalPercent));
    }
}

TEST_F(CellTest, PrintWritesEachLineWholeInOneWrite) {
    // Each write on a packet socket arrives as one packet.
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, ends), 0);
    ASSERT_TRUE(cellOf({"ESSID:\"Pipe\""}).print(ends[0]));
    close(ends[0]);
    std::vector<std::string> writes;
    char packet[256];
    for (ssize_t got; (got = read(ends[1], packet, sizeof packet)) > 0;) {
        writes.emplace_back(packet, static_cast<std::size_t>(got));
    }
    close(ends[1]);
    ASSERT_EQ(writes.size(), 8u);
    for (const std::string& text : writes) EXPECT_EQ(text.find('\n'), text.size() - 1) << text;
}

}  // namespace
}  // namespace wlsurvey
