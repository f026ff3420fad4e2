#include "survey.h"

#include <gtest/gtest.h>

#include "printed.h"

#include <sstream>
#include <string>
#include <vector>

namespace wlsurvey {
namespace {

std::string reportOf(std::string_view output) {
    Scan scan = parseScan(output);
    return printed([&](int out) { printReport(scan.networks, out); });
}

/// The "SSID: " and "SIGNAL: " values of a report, in order, as "name=signal".
std::vector<std::string> summary(const std::string& report) {
    std::vector<std::string> rows;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("SSID: ", 0) == 0) rows.push_back(line.substr(6));
        if (line.rfind("SIGNAL: ", 0) == 0) rows.back() += "=" + line.substr(8);
    }
    return rows;
}

/// A scan text of one cell per (name, quality out of 100) pair.
std::string scanOf(const std::vector<std::pair<std::string, int>>& cells) {
    std::string text = "wlan0     Scan completed :\n";
    int number = 1;
    for (const auto& [name, quality] : cells) {
        text += "          Cell " + std::to_string(number++) + " - Address: 00:00:00:00:00:01\n";
        if (name != "-") text += "                    ESSID:\"" + name + "\"\n";
        text += "                    Quality=" + std::to_string(quality) + "/100  Signal\n";
    }
    return text;
}

TEST(ParseScan, FindsHeadersOnTrimmedLinesOnly) {
    const std::string text =
        "wlan0  Scan completed :\n"
        "ESSID:\"before any cell\"\n"
        "\t  Cell 01 - Address: 00:00:00:00:00:01\r\n"
        "ESSID:\"first\"\r\n"
        "Cell\t02 - tab is no header\n"
        "cell 03 - lower case is no header\n"
        "   Cell   \n"
        "Cell 04 - Address: 00:00:00:00:00:04\n"
        "ESSID:\"second\"";
    const Scan scan = parseScan(text);
    EXPECT_EQ(scan.headers, 2u);
    ASSERT_EQ(scan.networks.cells.size(), 2u);
    EXPECT_EQ(scan.networks.cells[0].essid, "first") << "CR of CR LF trimmed";
    EXPECT_EQ(scan.networks.cells[1].essid, "second") << "unterminated last line read";
}

TEST(ParseScan, EmptyOrHeaderlessOutputGivesNothing) {
    EXPECT_EQ(parseScan("").headers, 0u);
    EXPECT_EQ(parseScan("ra0       No scan results\n\n").headers, 0u);
    EXPECT_EQ(reportOf("ra0       No scan results\n"), "");
}

TEST(Report, MergesByNameKeepingTheStrongest) {
    struct Row {
        std::vector<std::pair<std::string, int>> cells;
        std::vector<std::string> printed;
        const char* why;
    };
    const Row rows[] = {
        {{{"a", 40}, {"b", 50}, {"a", 70}}, {"a=70", "b=50"}, "stronger replaces"},
        {{{"a", 70}, {"b", 90}, {"a", 40}}, {"b=90", "a=70"}, "weaker dropped"},
        {{{"a", 30}, {"b", 90}, {"c", 60}}, {"b=90", "c=60", "a=30"}, "strongest first"},
        {{{"", 90}, {"-", 80}, {"x", 10}}, {"x=10"}, "hidden and nameless left out"},
        {{{"A", 50}, {"a", 60}}, {"a=60", "A=50"}, "names compare case-sensitively"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        std::string text = scanOf(row.cells);
        EXPECT_EQ(summary(reportOf(text)), row.printed);
    }
}

TEST(Report, EqualStrengthKeepsFirstSeen) {
    // Two cells of one name at equal strength: the first one's fields stay.
    const std::string text =
        "Cell 01 - A\nESSID:\"twin\"\nChannel:1\nQuality=70/100\n"
        "Cell 02 - B\nESSID:\"twin\"\nChannel:11\nQuality=70/100\n";
    const std::string report = reportOf(text);
    EXPECT_NE(report.find("CHAN:1\n"), std::string::npos) << report;
    EXPECT_EQ(report.find("CHAN:11\n"), std::string::npos) << report;

    // Ties keep list order even where an unstable sort would shuffle them.
    std::vector<std::pair<std::string, int>> cells;
    std::vector<std::string> expected;
    for (int i = 0; i < 40; ++i) {
        cells.emplace_back("n" + std::to_string(i), i % 2 ? 50 : 60);
    }
    for (int odd = 0; odd < 2; ++odd) {
        for (int i = odd; i < 40; i += 2) {
            expected.push_back("n" + std::to_string(i) + (odd ? "=50" : "=60"));
        }
    }
    EXPECT_EQ(summary(reportOf(scanOf(cells))), expected);
}

Cell named(std::string name, std::int32_t signal) {
    Cell cell(ScanBlock{"01"});
    cell.essid = std::move(name);
    cell.signalPercent = signal;
    return cell;
}

TEST(AddCell, ReplacesInPlaceAndIndexesByName) {
    NetworkList list;
    auto cell = named;
    addCell(list, cell("a", 10));
    addCell(list, cell("b", 20));
    addCell(list, cell("a", 30));
    addCell(list, cell("b", 20));
    addCell(list, cell("a", 5));
    ASSERT_EQ(list.cells.size(), 2u);
    EXPECT_EQ(list.cells[0].essid, "a");
    EXPECT_EQ(list.cells[0].signalPercent, 30);
    EXPECT_EQ(list.cells[1].signalPercent, 20);
}

TEST(AddCell, IndexFindsEveryNameAcrossGrowth) {
    NetworkList list;
    const int count = 5000;  // many times the index's first size
    for (int i = 0; i < count; ++i) addCell(list, named("net-" + std::to_string(i), 10));
    for (int i = count - 1; i >= 0; --i) addCell(list, named("net-" + std::to_string(i), 20 + i));
    addCell(list, named("", 1));
    ASSERT_EQ(list.cells.size(), static_cast<std::size_t>(count) + 1);
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(list.cells[i].essid, "net-" + std::to_string(i));
        ASSERT_EQ(list.cells[i].signalPercent, 20 + i);
    }
}

}  // namespace
}  // namespace wlsurvey
