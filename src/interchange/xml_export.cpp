// The IEC 60076-18 XML writer and the escaping of its text values.
#include "interchange/xml_export.h"

#include <cstdio>

#include "interchange/text_format.h"
#include "platform/files.h"
#include "platform/prompter.h"
#include "platform/utf8.h"

namespace interchange {
namespace {

using platform::appendUtf8;
using platform::utf8Sequence;

// Characters an XML 1.0 document may contain.
bool xmlCharacter(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// The code point of a character reference's digits ("#38", "#x26"); 0 when they do not name an XML
// character.
char32_t referencedCharacter(std::string_view digits) {
    const bool hex = digits.size() > 1 && (digits[1] == 'x' || digits[1] == 'X');
    digits.remove_prefix(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return 0;
    char32_t c = 0;
    for (char d : digits) {
        int value;
        if (d >= '0' && d <= '9') value = d - '0';
        else if (hex && d >= 'a' && d <= 'f') value = d - 'a' + 10;
        else if (hex && d >= 'A' && d <= 'F') value = d - 'A' + 10;
        else return 0;
        c = c * (hex ? 16 : 10) + static_cast<char32_t>(value);
    }
    return xmlCharacter(c) ? c : 0;
}

platform::Answer ask(const std::string& text, const std::string& caption) {
    return platform::showMessage(text, caption, platform::Icon::Warning, platform::Buttons::YesNo);
}

// Writes the whole file in one piece, replacing an existing one. A file that could not be written
// completely is removed rather than left half-written.
bool writeWholeFile(const std::string& path, const std::string& content) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    const bool closed = std::fclose(file) == 0;
    if (written && closed) return true;
    platform::deleteFile(path);
    return false;
}

}  // namespace

std::string xmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            switch (byte) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            case '\t': out += "&#9;"; break;
            case '\n': out += "&#10;"; break;
            case '\r': out += "&#13;"; break;
            default:
                if (byte >= 0x20) out += static_cast<char>(byte);
            }
            ++i;
            continue;
        }
        char32_t c;
        const std::size_t length = utf8Sequence(text, i, c);
        if (length == 0) {
            // A byte of some single-byte code page: keep the character it most likely stood for.
            appendUtf8(out, byte);
            ++i;
            continue;
        }
        if (xmlCharacter(c)) out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

std::string xmlUnescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t amp = text.find('&', i);
        if (amp == std::string_view::npos) break;
        out.append(text.substr(i, amp - i));
        const std::size_t semicolon = text.find(';', amp);
        // Entity names and character references are short; a far-away ";" belongs to other text.
        if (semicolon == std::string_view::npos || semicolon - amp > 12) {
            out += '&';
            i = amp + 1;
            continue;
        }
        const std::string_view name = text.substr(amp + 1, semicolon - amp - 1);
        char32_t c = 0;
        if (name == "amp") c = '&';
        else if (name == "lt") c = '<';
        else if (name == "gt") c = '>';
        else if (name == "quot") c = '"';
        else if (name == "apos") c = '\'';
        else if (!name.empty() && name[0] == '#') c = referencedCharacter(name);
        if (c == 0) {
            out += '&';
            i = amp + 1;
            continue;
        }
        appendUtf8(out, c);
        i = semicolon + 1;
    }
    out.append(text.substr(i));
    return out;
}

std::string iecXmlText(const db::SweepBundle& bundle) {
    const db::SweepRecord& sweep = bundle.sweep;
    const db::SetupRecord& setup = bundle.setup;
    const db::EquipmentRecord& equipment = bundle.equipment;
    const db::TransformerRecord& transformer = bundle.transformer;

    std::string time = sweep.time;
    if (const auto colon = time.find(':'); colon != std::string::npos) time[colon] = 'h';

    std::string x;
    auto line = [&x](const std::string& text) { x += text + "\r\n"; };
    auto number = [](double value) { return generalNumber(value); };

    line("<?xml version=\"1.0\" encoding=\"utf-8\" ?>");
    line("<IECFraFile version=\"1.0\">");
    line("    <Transformer identifier=\"" + xmlEscape(transformer.identifier) + "\">");
    line("        <Date>" + xmlEscape(sweep.date) + "</Date>");
    line("        <Time>" + xmlEscape(time) + "</Time>");
    line("        <Manufacturer>" + xmlEscape(transformer.manufacturer) + "</Manufacturer>");
    line("        <SerialNumber>" + xmlEscape(transformer.serialNumber) + "</SerialNumber>");
    line("    </Transformer>");
    line("    <MeasurementSetup>");
    line("        <MeasuringEquipment manufacturer=\"" + xmlEscape(equipment.manufacturer) + "\" instrument=\"" +
         xmlEscape(equipment.instrument) + "\" serial=\"" + xmlEscape(equipment.serialNumber) + "\" />");
    line("        <PeakVoltage unit=\"V\">" + number(sweep.peakVoltage) + "</PeakVoltage>");
    line("        <ReferenceTerminal>" + xmlEscape(setup.referenceTerminal) + "</ReferenceTerminal>");
    line("        <ResponseTerminal>" + xmlEscape(setup.responseTerminal) + "</ResponseTerminal>");
    line("        <ConnectedTerminals>" + xmlEscape(setup.connectedTerminals) + "</ConnectedTerminals>");
    line("        <EarthedTerminals />");
    line("        <OLTC from=\"5\">" + std::to_string(setup.oltc) + "</OLTC>");
    line("        <DETC />");
    line("        <TransformerTemperature unit=\"DegreesC\">" + number(sweep.temperature) + "</TransformerTemperature>");
    line(std::string("        <FluidFilled>") + (setup.fluidFilled ? "yes" : "no") + "</FluidFilled>");
    line("        <LengthOfUnshieldedConnection unit=\"mm\">" + number(setup.unshieldedLength) +
         "</LengthOfUnshieldedConnection>");
    line("        <Comments>" + xmlEscape(setup.comments) + "</Comments>");
    line("    </MeasurementSetup>");
    line("    <MeasurementResult>");
    auto point = [&](double frequency, double amplitude, double phase) {
        line("        <Point frequency=\"" + number(frequency) + "\" amplitude=\"" + number(amplitude) + "\" phase=\"" +
             number(phase) + "\" />");
    };
    if (sweep.dataType == db::kDataBasicFra)
        for (const auto& p : sweep.basicPoints) point(p.frequency, p.amplitude, p.phase);
    else if (sweep.dataType == db::kDataFra)
        for (const auto& p : sweep.fraPoints) point(p.frequency, p.amplitude, p.phase);
    line("    </MeasurementResult>");
    x += "</IECFraFile>";
    return x;
}

int exportXml(const std::string& folder, std::span<const db::SweepBundle> bundles) {
    using platform::Answer;
    int written = 0;
    for (const db::SweepBundle& bundle : bundles) {
        if (bundle.marker <= 0) continue;  // the sweep could not be loaded: nothing to write
        const db::SweepRecord& sweep = bundle.sweep;
        const std::string name = sweep.name;

        if (sweep.dataType == db::kDataLcr) {
            platform::showMessage("Warning: LCR Tests cannot be exported to XML The test \"" + name +
                                      "\"\nWill not be exported",
                                  "Incorrect test selected", platform::Icon::Warning);
            continue;
        }
        if (sweep.pointCount() == 0 &&
            ask("Warning: There is no test data associated with test \"" + name +
                    "\"\nThe exported test will be empty\n\nWould you still like to export this test?",
                "Empty test selected") != Answer::Yes)
            continue;

        const std::string path = sweepFilePath(folder, sweep, ".xml");
        if (platform::fileExists(path) &&
            ask("Warning: There is already a file with the name \"" + path +
                    "\"\n\nWould you like to export this test and overwrite the previous file?",
                "Overwrite test?") != Answer::Yes)
            continue;

        if (writeWholeFile(path, iecXmlText(bundle))) ++written;
    }
    return written;
}

}  // namespace interchange
