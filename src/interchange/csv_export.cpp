// The CSV writers: sweep reports for the data browser, the impedance table for the impedance pane.
// Both are built whole in memory and then written in binary mode, so that the CR LF line ends come out
// the same on every system.
#include "interchange/csv_export.h"

#include <cstdio>
#include <initializer_list>

#include "interchange/text_format.h"
#include "platform/files.h"
#include "platform/prompter.h"

namespace interchange {
namespace {

constexpr const char* kEol = "\r\n";

// Writes text to path, replacing what is there. A write that fails part-way takes the half-written
// file away again, so that no truncated report is ever left to be read back.
bool writeWholeFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok) platform::deleteFile(path);
    return ok;
}

// A value for a one-line labelled field. The labelled lines are read back one line each, so a line
// break in such a field (which the program's own edits cannot produce) would shift every line after it.
std::string oneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

void labelled(std::string& out, const char* label, const std::string& value) {
    out += label;
    out += '\t';
    out += value;
    out += kEol;
}

void heading(std::string& out, const char* title, const char* underline) {
    out += kEol;
    out += title;
    out += kEol;
    out += underline;
    out += kEol;
}

const char* columnLine(int dataType) {
    switch (dataType) {
    case db::kDataBasicFra: return "Frequency,Amplitude,Phase";
    case db::kDataFra: return "Frequency,Magnitude1,Magnitude2,Gain,Phase,Delay";
    case db::kDataLcr:
        return "Frequency,Admittance,AdmittancePhase,Impedance,ImpedancePhase,Inductance,Capacitace,Resistance";
    default: return "";  // no point table: the reader then takes the header alone
    }
}

// One point line: the values in general form, separated by commas.
void pointLine(std::string& out, std::initializer_list<double> values) {
    bool first = true;
    for (double v : values) {
        if (!first) out += ',';
        out += generalNumber(v);
        first = false;
    }
    out += kEol;
}

std::string sweepReportText(const db::SweepBundle& b) {
    const db::SweepRecord& s = b.sweep;
    std::string out;
    labelled(out, "File Version:", "1.0");

    heading(out, "Transformer Details", "===================");
    labelled(out, "Identifier:", oneLine(b.transformer.identifier));
    labelled(out, "Manufacturer:", oneLine(b.transformer.manufacturer));
    labelled(out, "Serial Number:", oneLine(b.transformer.serialNumber));

    heading(out, "Measurement Equipment", "======================");
    labelled(out, "Manufacturer:", oneLine(b.equipment.manufacturer));
    labelled(out, "Instrument:", oneLine(b.equipment.instrument));
    labelled(out, "Serial Number:", oneLine(b.equipment.serialNumber));

    heading(out, "Measurement Setup", "==================");
    labelled(out, "Name:", oneLine(b.setup.name));
    labelled(out, "Reference Terminal:", oneLine(b.setup.referenceTerminal));
    labelled(out, "Response Terminal:", oneLine(b.setup.responseTerminal));
    labelled(out, "Connected Terminals:", oneLine(b.setup.connectedTerminals));
    labelled(out, "OLTC:", std::to_string(b.setup.oltc));
    labelled(out, "Fluid Filled:", b.setup.fluidFilled ? "Yes" : "No");
    labelled(out, "Unshielded Length:", generalNumber(b.setup.unshieldedLength));
    // Comments are written as stored, line breaks included; the reader takes the lines up to the next
    // section back into the comment.
    labelled(out, "Comments:", b.setup.comments);

    heading(out, "Sweep Details", "=============");
    labelled(out, "Name:", oneLine(s.name));
    labelled(out, "Date:", oneLine(s.date));
    labelled(out, "Time:", oneLine(s.time));
    labelled(out, "Steps:", std::to_string(s.pointCount()));
    labelled(out, "Peak Voltage:", generalNumber(s.peakVoltage));
    labelled(out, "Temperature:", generalNumber(s.temperature));
    labelled(out, "Comments:", s.comments);

    heading(out, "Sweep Data", "===========");
    out += columnLine(s.dataType);
    out += kEol;
    switch (s.dataType) {
    case db::kDataBasicFra:
        for (const auto& p : s.basicPoints) pointLine(out, {p.frequency, p.amplitude, p.phase});
        break;
    case db::kDataFra:
        for (const auto& p : s.fraPoints)
            pointLine(out, {p.frequency, p.magnitude1, p.magnitude2, p.amplitude, p.phase, p.delay});
        break;
    case db::kDataLcr:
        for (const auto& p : s.lcrPoints)
            pointLine(out, {p.frequency, p.admittance, p.admittancePhase, p.impedance, p.impedancePhase,
                            p.inductance, p.capacitance, p.resistance});
        break;
    default: break;
    }
    return out;
}

// Fixed form with 8 decimals. The buffer holds the widest double (309 integer digits).
std::string fixedNumber(double value) {
    char text[400];
    std::snprintf(text, sizeof text, "%.8f", value);
    return text;
}

std::string impedanceTableText(const std::vector<db::LcrPoint>& points) {
    std::string out;
    out += "File Version,1.0";
    out += kEol;
    out += "Steps," + std::to_string(points.size()) + kEol;
    out += kEol;
    out += "Sweep Data";
    out += kEol;
    out += "===========";
    out += kEol;
    out += "Step,Frequency (Hz),Admittance (S),Admittance Phase (Deg),Impedance (Ohm),Phase (Deg),Inductance (H),"
           "Capacitance (F),Resistance (Ohm)";
    out += kEol;
    int step = 1;
    for (const auto& p : points) {
        out += std::to_string(step++);
        for (double v : {p.frequency, p.admittance, p.admittancePhase, p.impedance, p.impedancePhase, p.inductance,
                         p.capacitance, p.resistance})
            out += "," + fixedNumber(v);
        out += kEol;
    }
    return out;
}

}  // namespace

int exportSweepReports(const std::string& folder, const std::vector<db::SweepBundle>& bundles) {
    int written = 0;
    for (const auto& bundle : bundles) {
        if (bundle.marker <= 0) continue;  // a sweep that could not be loaded has nothing to write
        const db::SweepRecord& sweep = bundle.sweep;
        if (sweep.pointCount() == 0 &&
            platform::showMessage("Warning: There is no test data associated with test \"" + sweep.name.str() +
                                      "\"\nThe exported test will be empty\n\nWould you still like to export this test?",
                                  "Warning: Empty test selected", platform::Icon::Warning,
                                  platform::Buttons::YesNo) != platform::Answer::Yes)
            continue;
        const std::string path = sweepFilePath(folder, sweep, ".csv");
        if (platform::fileExists(path) &&
            platform::showMessage("Warning: There is already a file with the name \"" + path +
                                      "\"\n\nWould you like to export this test and overwrite the previous file?",
                                  "Overwrite test?", platform::Icon::Warning,
                                  platform::Buttons::YesNo) != platform::Answer::Yes)
            continue;
        if (writeWholeFile(path, sweepReportText(bundle))) ++written;
    }
    return written;
}

std::string impedanceTablePath(const std::string& name) {
    const std::size_t folderEnd = name.find_last_of("\\/");
    const std::size_t nameStart = folderEnd == std::string::npos ? 0 : folderEnd + 1;
    if (name.find('.', nameStart) != std::string::npos) return name;
    return name + ".csv";
}

bool exportImpedanceTable(const std::string& fileName, const std::vector<db::LcrPoint>& points) {
    if (points.empty()) {
        platform::showMessage("There is no test data to export", "Export Error", platform::Icon::Warning);
        return false;
    }
    if (fileName.empty()) return false;
    return writeWholeFile(impedanceTablePath(fileName), impedanceTableText(points));
}

}  // namespace interchange
