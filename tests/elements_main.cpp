// Runs the element cases (format: the head of elements.cases): each gives one access point's
// lines as iwlist prints them, as iw prints them, or both, and the facts both must come to.
// Prints each case whose facts differ; exits 1 when one did.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "iwscan.h"
#include "json.h"
#include "networks.h"

namespace {

using namespace wlsurvey;

/// "width=160 generation=5 mode=infrastructure ciphers=TKIP,CCMP auth=psk" of the one network
/// in `output`; `iw` when it is iw's listing.
std::string factsOf(const std::string& output, bool iw) {
    std::vector<ElementFacts> elements;
    const std::string text = iw ? iwlistFromIw(output, &elements).text : output;
    const Scan scan = parseScan(text, true, iw ? &elements : nullptr);
    const std::vector<NetworkView> networks = namedNetworks(scan.networks);
    if (networks.size() != 1 || networks[0].accessPoints.size() != 1) return "not one network";
    const AccessPoint& ap = *networks[0].accessPoints[0];
    const auto number = [](std::optional<std::int32_t> value) {
        return value ? std::to_string(*value) : std::string("null");
    };
    static const char* const kModes[] = {"null", "infrastructure", "ad-hoc", "mesh"};
    std::string facts = "width=" + number(ap.elements.radio.widthMhz()) +
                        " generation=" + number(ap.elements.radio.generation()) +
                        " mode=" + kModes[static_cast<int>(ap.elements.mode)] + " ciphers=";
    for (const Cipher cipher : ap.elements.ciphers.ciphers) {
        if (facts.back() != '=') facts += ',';
        facts += cipherName(cipher);
    }
    return facts.append(" auth=").append(authName(authOf(ap, networks[0].cell->security)));
}

/// A case's lines with each "\t" a tab.
std::string tabs(std::string text) {
    for (std::size_t at; (at = text.find("\\t")) != std::string::npos;) text.replace(at, 2, "\t");
    return text;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) return 2;
    std::ifstream in(argv[1]);
    std::string line, name, section, iwlist, iw, want;
    int cases = 0, failed = 0;
    const auto check = [&] {
        if (name.empty()) return;
        ++cases;
        if (iwlist.empty() && iw.empty()) want = "(no form given)";
        const std::string outputs[] = {
            iwlist.empty() ? "" : "Cell 01 - Address: 02:00:00:00:00:01\nESSID:\"t\"\n" + iwlist,
            iw.empty() ? "" : "BSS 02:00:00:00:00:01(on wlan0)\n\tSSID: t\n" + tabs(iw)};
        bool agrees = true;
        for (const bool isIw : {false, true}) {
            if (outputs[isIw].empty()) continue;
            const std::string got = factsOf(outputs[isIw], isIw);
            if (got == want) continue;
            agrees = false;
            std::cout << "FAIL: " << name << " (" << (isIw ? "iw" : "iwlist") << ")\n  want "
                      << want << "\n  got  " << got << "\n";
        }
        failed += agrees ? 0 : 1;
        name.clear();
        iwlist.clear();
        iw.clear();
        want.clear();
    };
    while (std::getline(in, line)) {
        if (line.rfind("=== ", 0) == 0) {
            check();
            name = line.substr(4);
            section.clear();
        } else if (line.rfind("--- ", 0) == 0) {
            section = line.substr(4);
        } else if (section == "iwlist") {
            iwlist += line + "\n";
        } else if (section == "iw") {
            iw += line + "\n";
        } else if (section == "want" && !line.empty()) {
            want = line;
        }
    }
    check();
    std::cout << "elements: " << cases - failed << " of " << cases << " cases agree\n";
    return failed == 0 && cases > 0 ? 0 : 1;
}
