#include "iwelements.h"

#include <string>

#include "textutil.h"

namespace wlsurvey {

namespace {

/// Bytes written as iw writes them: two hex digits each, a space before each ("f0 3f 02");
/// the first other text ends them.
std::string spacedHex(std::string_view text) {
    std::string bytes;
    for (std::string_view pair; nextLine(ltrim(text), ' ', pair);) {
        if (pair.size() != 2 || hexDigit(pair[0]) < 0 || hexDigit(pair[1]) < 0) break;
        bytes += static_cast<char>(hexDigit(pair[0]) << 4 | hexDigit(pair[1]));
    }
    return bytes;
}

/// The element iw printed as "Unknown IE (61): 05 07 ..." or "Unknown Extension ID (36): f0
/// ...": its number, and its bytes after that number.
bool unknownElement(std::string_view text, std::string_view prefix, int& id, std::string& body) {
    std::string_view rest;
    if (!matches(text, prefix, rest)) return false;
    const std::size_t close = rest.find("):");
    if (close == std::string_view::npos) return false;
    id = readInt(rest.substr(0, close));
    body = spacedHex(rest.substr(close + 2));
    return id >= 0 && id <= 255;
}

/// A decoded element's own line: " <invalid: 21 bytes: 05 07 ...>" when its length is not one
/// iw decodes (its bytes, as they are), else nothing after the colon.
bool invalidBytes(std::string_view rest, std::string& body) {
    if (!matches(ltrim(rest), "<invalid:", rest)) return false;
    const std::size_t colon = rest.find(':');
    // The last byte ends with the bracket: "... 05>".
    body = colon == std::string_view::npos
               ? std::string()
               : spacedHex(rest.substr(colon + 1, rest.find('>') - colon - 1));
    return true;
}

/// The number after `label` in a field line such as "* center freq segment 1: 42".
bool field(std::string_view line, std::string_view label, unsigned& value) {
    std::string_view rest;
    if (!matches(line, label, rest)) return false;
    const std::int32_t figure = readInt(rest);
    value = figure < 0 ? 0 : static_cast<unsigned>(figure);
    return true;
}

}  // namespace

void IwElementReader::read(std::string_view line, ElementFacts& facts) {
    if (line.size() < 2 || line[0] != '\t') return;
    const bool deeper = line[1] == '\t';
    trim(line);
    std::string_view rest;
    // iw writes a short WPA or RSN element's default ciphers with one tab: still its own.
    if (!deeper && !matches(line, "* ", rest)) open_ = Open::none;
    if (open_ != Open::none) {
        switch (open_) {
            case Open::htOperation:
                if (matches(line, "* secondary channel offset: ", rest)) {
                    fields_[0] = rest == "above"         ? 1
                                 : rest == "below"       ? 3
                                 : rest == "[reserved!]" ? 2
                                                         : 0;
                } else if (matches(line, "* STA channel width: ", rest)) {
                    facts.radio.htOperation(fields_[0], rest == "any");
                }
                return;
            case Open::vhtOperation:
                // iw's own label of the width is not the answer: the segments decide with it.
                if (!field(line, "* channel width: ", fields_[0]) &&
                    !field(line, "* center freq segment 1: ", fields_[1]) &&
                    field(line, "* center freq segment 2: ", fields_[2])) {
                    facts.radio.vhtOperation(fields_[0], fields_[1], fields_[2]);
                }
                return;
            case Open::heOperation:
                // 6 GHz Operation Information: 0x2503020700 (primary channel, control, ...)
                if ((matches(line, "6 GHz Operation Information: 0x", rest) ||
                     matches(line, "6 Ghz Operation Information: 0x", rest)) &&
                    rest.size() >= 4 && hexDigit(rest[2]) >= 0 && hexDigit(rest[3]) >= 0) {
                    facts.radio.he6GhzControl(
                        static_cast<unsigned>(hexDigit(rest[2]) << 4 | hexDigit(rest[3])));
                }
                return;
            case Open::ehtOperation:
                // EHT Operation Info: 0x041f00 (control, then the two centre segments)
                if (matches(line, "EHT Operation Info: 0x", rest) && rest.size() >= 2 &&
                    hexDigit(rest[0]) >= 0 && hexDigit(rest[1]) >= 0) {
                    facts.radio.ehtControl(
                        static_cast<unsigned>(hexDigit(rest[0]) << 4 | hexDigit(rest[1])));
                }
                return;
            case Open::wpa:
            case Open::rsn:
                if (matches(line, "* Pairwise ciphers:", rest)) {
                    readIwCiphers(rest, open_ == Open::wpa, facts.ciphers);
                }
                return;
            case Open::none:
                break;
        }
    }
    if (deeper) return;
    int id = 0;
    std::string body;
    if (matches(line, "capability:", rest)) {
        // capability: ESS Privacy ShortSlotTime (0x0411): the bits, as the kernel reads them
        const std::size_t open = rest.rfind("(0x");
        if (open == std::string_view::npos || facts.mode == Mode::mesh) return;
        unsigned bits = 0;
        for (std::size_t i = open + 3; i < rest.size() && hexDigit(rest[i]) >= 0; ++i) {
            bits = (bits << 4 | static_cast<unsigned>(hexDigit(rest[i]))) & 0xffff;
        }
        if ((bits & 1) != 0) {
            facts.mode = Mode::infrastructure;
        } else if ((bits & 2) != 0) {
            facts.mode = Mode::adHoc;
        }
    } else if (matches(line, "MESH ID:", rest)) {
        facts.mode = Mode::mesh;
    } else if (matches(line, "RSN:", rest)) {
        open_ = Open::rsn;
    } else if (matches(line, "WPA:", rest)) {
        open_ = Open::wpa;
    } else if (unknownElement(line, "Unknown IE (", id, body)) {
        facts.radio.readElement(id, body);
    } else if (unknownElement(line, "Unknown Extension ID (", id, body)) {
        facts.radio.readElement(element::extension, std::string(1, static_cast<char>(id)) + body);
    } else if (matches(line, "HT capabilities:", rest)) {
        facts.radio.capabilities(4);
    } else if (matches(line, "VHT capabilities:", rest)) {
        facts.radio.capabilities(5);
    } else if (matches(line, "HE capabilities:", rest)) {
        facts.radio.capabilities(6);
    } else if (matches(line, "EHT capabilities:", rest)) {
        facts.radio.capabilities(7);
    } else if (matches(line, "HT operation:", rest)) {
        open_ = Open::htOperation;
        if (invalidBytes(rest, body)) facts.radio.readElement(element::htOperation, body);
    } else if (matches(line, "VHT operation:", rest)) {
        open_ = Open::vhtOperation;
        if (invalidBytes(rest, body)) facts.radio.readElement(element::vhtOperation, body);
    } else if (matches(line, "HE Operation:", rest)) {
        open_ = Open::heOperation;
        if (invalidBytes(rest, body)) {
            facts.radio.readElement(element::extension,
                                    std::string(1, static_cast<char>(element::heOperation)) + body);
        }
    } else if (matches(line, "EHT Operation:", rest)) {
        open_ = Open::ehtOperation;
        if (invalidBytes(rest, body)) {
            facts.radio.readElement(
                element::extension,
                std::string(1, static_cast<char>(element::ehtOperation)) + body);
        }
    }
    if (open_ == Open::htOperation || open_ == Open::vhtOperation) {
        fields_[0] = fields_[1] = fields_[2] = 0;
    }
}

}  // namespace wlsurvey
