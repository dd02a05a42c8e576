// The IEC 60076-18 XML writer.
#include "interchange/xml_export.h"

#include <cstdio>

#include "interchange/text_format.h"
#include "platform/files.h"
#include "platform/prompter.h"
#include "common/xml_text.h"

namespace interchange {
namespace {

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
    line("    <Transformer identifier=\"" + common::xmlEscape(transformer.identifier) + "\">");
    line("        <Date>" + common::xmlEscape(sweep.date) + "</Date>");
    line("        <Time>" + common::xmlEscape(time) + "</Time>");
    line("        <Manufacturer>" + common::xmlEscape(transformer.manufacturer) + "</Manufacturer>");
    line("        <SerialNumber>" + common::xmlEscape(transformer.serialNumber) + "</SerialNumber>");
    line("    </Transformer>");
    line("    <MeasurementSetup>");
    line("        <MeasuringEquipment manufacturer=\"" + common::xmlEscape(equipment.manufacturer) +
         "\" instrument=\"" + common::xmlEscape(equipment.instrument) + "\" serial=\"" +
         common::xmlEscape(equipment.serialNumber) + "\" />");
    line("        <PeakVoltage unit=\"V\">" + number(sweep.peakVoltage) + "</PeakVoltage>");
    line("        <ReferenceTerminal>" + common::xmlEscape(setup.referenceTerminal) + "</ReferenceTerminal>");
    line("        <ResponseTerminal>" + common::xmlEscape(setup.responseTerminal) + "</ResponseTerminal>");
    line("        <ConnectedTerminals>" + common::xmlEscape(setup.connectedTerminals) + "</ConnectedTerminals>");
    line("        <EarthedTerminals />");
    line("        <OLTC from=\"5\">" + std::to_string(setup.oltc) + "</OLTC>");
    line("        <DETC />");
    line("        <TransformerTemperature unit=\"DegreesC\">" + number(sweep.temperature) + "</TransformerTemperature>");
    line(std::string("        <FluidFilled>") + (setup.fluidFilled ? "yes" : "no") + "</FluidFilled>");
    line("        <LengthOfUnshieldedConnection unit=\"mm\">" + number(setup.unshieldedLength) +
         "</LengthOfUnshieldedConnection>");
    line("        <Comments>" + common::xmlEscape(setup.comments) + "</Comments>");
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
