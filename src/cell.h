// One network the scanner reported: built from its scan block, then merged, ordered, printed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "textutil.h"  // LineList

namespace wlsurvey {

/// Name of the network the caller is connected to; empty until the command line sets it.
extern std::string activeSSID;

struct AccessPoint;

/// A scan block: the text after "Cell " on the header line, then every trimmed line up to
/// the next header or the end of the scanner's output.
using ScanBlock = LineList;

/// A cell's texts are views into the scanner's output, which must outlive it: a scan is read
/// once and never copied.
class Cell {
  public:
    /// Walks `block` once, applying the line rules to each line in turn; when `accessPoint` is
    /// given, it reads each line too, after the rules.
    explicit Cell(const ScanBlock& block, AccessPoint* accessPoint = nullptr);

    /// Writes the eight-line report block to the file descriptor `out`, each line whole in one
    /// write, so that a reader on a pipe sees each line as soon as it is complete. False when a
    /// line could not be written; the lines after it are not tried.
    bool print(int out) const;

    std::string_view channel;
    std::string_view mode = "Infra";
    bool isActive = false;
    std::int32_t signalPercent = 0;
    std::int32_t barLevel = 0;
    std::int32_t maxRate = 1;
    std::string_view bars;
    std::string_view security;
    std::string_view essid;

  private:
    // Inlined into the walk: every line of a scan meets both.
    /// The line rules: the first that knows the line acts. True when it was the quality line.
    [[gnu::always_inline]] bool classify(std::string_view line);
    [[gnu::always_inline]] void trackRate(std::string_view line, bool& inRates);
    void readQuality(std::string_view rest);
};

/// True for a network the report shows: its name is neither empty nor the hidden-network
/// name, two double-quote characters.
bool isNamed(const Cell& cell);

/// Link quality in percent from the text after "Quality=" (e.g. "58/70  Signal level=-52 dBm"):
/// numerator x 100 / denominator of the text before the first space, clamped to 32 bits;
/// 0 when there is no slash or the denominator reads 0.
std::int32_t qualityPercent(std::string_view rest);

/// The four-character gauge for a quality in percent, and its number of filled bars.
std::string_view gaugeBars(std::int32_t signalPercent);
std::int32_t gaugeLevel(std::int32_t signalPercent);

}  // namespace wlsurvey
