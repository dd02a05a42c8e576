// The IEC XML reader on expat: the parser takes care of encodings, references and layout, and this
// file only picks the sweep's fields out of the elements as they go by.
#include "interchange/iec_xml_import.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include <expat.h>

#include "interchange/text_format.h"
#include "interchange/xml_import.h"

namespace interchange {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

// More than any field holds; a longer text is cut here rather than held whole in memory.
constexpr std::size_t kMaxText = 1u << 16;

// The fields held as element text, each by its parent element under the root and its own name.
enum class Field {
    None,
    Date,
    Time,
    Manufacturer,
    SerialNumber,
    PeakVoltage,
    ReferenceTerminal,
    ResponseTerminal,
    ConnectedTerminals,
    Oltc,
    Temperature,
    FluidFilled,
    UnshieldedLength,
    Comments,
};

struct TextElement {
    std::string_view parent, name;
    Field field;
};

constexpr TextElement kTextElements[] = {
    {"Transformer", "Date", Field::Date},
    {"Transformer", "Time", Field::Time},
    {"Transformer", "Manufacturer", Field::Manufacturer},
    {"Transformer", "SerialNumber", Field::SerialNumber},
    {"MeasurementSetup", "PeakVoltage", Field::PeakVoltage},
    {"MeasurementSetup", "ReferenceTerminal", Field::ReferenceTerminal},
    {"MeasurementSetup", "ResponseTerminal", Field::ResponseTerminal},
    {"MeasurementSetup", "ConnectedTerminals", Field::ConnectedTerminals},
    {"MeasurementSetup", "OLTC", Field::Oltc},
    {"MeasurementSetup", "TransformerTemperature", Field::Temperature},
    {"MeasurementSetup", "FluidFilled", Field::FluidFilled},
    {"MeasurementSetup", "LengthOfUnshieldedConnection", Field::UnshieldedLength},
    {"MeasurementSetup", "Comments", Field::Comments},
};

// The value of attribute name among expat's name/value pairs, or nullptr.
const char* attribute(const char** attributes, std::string_view name) {
    for (; attributes[0]; attributes += 2)
        if (name == attributes[0]) return attributes[1];
    return nullptr;
}

// An attribute value without surrounding spaces. Tabs and line breaks written literally are spaces
// once the parser has normalised the value; written as references they are part of the text.
std::string withoutSpaces(std::string_view value) {
    const auto first = value.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(value.substr(first, value.find_last_not_of(' ') - first + 1));
}

// An element's text, trimmed of the blanks written around it for layout but not of those written as
// references: the writer escapes a comment's trailing line feed as "&#10;" so that it survives.
class ElementText {
public:
    void add(std::string_view data, bool reference) {
        if (text_.size() >= kMaxText) return;
        if (reference) {
            text_ += data;
            kept_ = text_.size();
            return;
        }
        if (text_.empty()) data.remove_prefix(std::min(data.find_first_not_of(kBlanks), data.size()));
        text_ += data;
        if (const auto last = data.find_last_not_of(kBlanks); last != std::string_view::npos)
            kept_ = text_.size() - data.size() + last + 1;
    }
    std::string value() const { return text_.substr(0, kept_); }

private:
    std::string text_;
    std::size_t kept_ = 0;  // the length up to the last character the trimming keeps
};

// Follows the document's elements and fills the bundle. One reader parses one document.
class IecXmlReader {
public:
    explicit IecXmlReader(db::SweepBundle& bundle) : bundle_(bundle), parser_(XML_ParserCreate(nullptr)) {
        if (!parser_) return;
        XML_SetUserData(parser_, this);
        XML_SetXmlDeclHandler(parser_, onDeclaration);
        XML_SetElementHandler(parser_, onStart, onEnd);
        XML_SetCharacterDataHandler(parser_, onText);
    }
    ~IecXmlReader() {
        if (parser_) XML_ParserFree(parser_);
    }
    IecXmlReader(const IecXmlReader&) = delete;
    IecXmlReader& operator=(const IecXmlReader&) = delete;

    // Parses the next piece of the document (last: nothing follows). False once it is refused.
    bool feed(std::string_view piece, bool last) {
        if (refusal_) return false;
        if (!parser_) return refuse(kNotValidXml);
        if (XML_Parse(parser_, piece.data(), static_cast<int>(piece.size()), last) != XML_STATUS_OK)
            return refuse(kNotValidXml);  // keeps a refusal a handler gave first
        if (last && !transformerSeen_) return refuse(kNotValidXml);
        return true;
    }

    const char* refusal() const { return refusal_; }

private:
    bool refuse(const char* message) {
        if (!refusal_) refusal_ = message;
        return false;
    }

    // A refusal from inside a handler: the parse stops at once.
    void stop(const char* message) {
        refuse(message);
        XML_StopParser(parser_, XML_FALSE);
    }

    // True when the character data now being handed over was written as a reference: the input at
    // the event starts with "&" (in UTF-8 or single-byte text, or either byte order of UTF-16).
    bool atReference() const {
        int offset = 0, size = 0;
        const char* context = XML_GetInputContext(parser_, &offset, &size);
        if (!context || offset >= size) return false;
        const char* at = context + offset;
        return at[0] == '&' || (offset + 1 < size && at[0] == '\0' && at[1] == '&');
    }

    static void XMLCALL onDeclaration(void* self, const XML_Char* version, const XML_Char*, int) {
        auto& r = *static_cast<IecXmlReader*>(self);
        if (!version || std::string_view(version) != "1.0") r.stop(kNotValidXml);
    }

    static void XMLCALL onStart(void* self, const XML_Char* name, const XML_Char** attributes) {
        static_cast<IecXmlReader*>(self)->start(name, attributes);
    }

    static void XMLCALL onEnd(void* self, const XML_Char*) { static_cast<IecXmlReader*>(self)->end(); }

    static void XMLCALL onText(void* self, const XML_Char* data, int length) {
        auto& r = *static_cast<IecXmlReader*>(self);
        if (r.field_ != Field::None && r.path_.size() == r.fieldDepth_)
            r.text_.add(std::string_view(data, static_cast<std::size_t>(length)), r.atReference());
    }

    void start(std::string_view name, const char** attributes) {
        path_.emplace_back(name);
        const std::size_t depth = path_.size();
        if (depth == 1) {
            if (name != "IECFraFile") return stop(kNotValidXml);
            const char* version = attribute(attributes, "version");
            if (!version || std::string_view(version) != "1.0") return stop(kNotCompatibleXml);
        } else if (depth == 2 && name == "Transformer") {
            const char* identifier = attribute(attributes, "identifier");
            if (!identifier) return stop(kNotValidXml);
            bundle_.transformer.identifier = withoutSpaces(identifier);
            transformerSeen_ = true;
        } else if (depth == 3 && path_[1] == "MeasurementSetup" && name == "MeasuringEquipment") {
            readEquipment(attributes);
        } else if (depth == 3 && path_[1] == "MeasurementResult" && name == "Point") {
            readPoint(attributes);
        } else if (depth == 3 && field_ == Field::None) {
            for (const TextElement& e : kTextElements)
                if (e.parent == path_[1] && e.name == name) {
                    field_ = e.field;
                    fieldDepth_ = depth;
                    text_ = ElementText{};
                }
        }
    }

    void end() {
        if (field_ != Field::None && path_.size() == fieldDepth_) {
            store(field_, text_.value());
            field_ = Field::None;
        }
        path_.pop_back();
    }

    void readEquipment(const char** attributes) {
        const char* manufacturer = attribute(attributes, "manufacturer");
        const char* instrument = attribute(attributes, "instrument");
        const char* serial = attribute(attributes, "serial");
        if (!manufacturer || !instrument || !serial) return stop(kNotValidXml);
        bundle_.equipment.manufacturer = manufacturer;
        bundle_.equipment.instrument = instrument;
        bundle_.equipment.serialNumber = zeroPadded(serial, 5);
    }

    // A point of three numbers; points past the most a sweep keeps are passed over unread.
    void readPoint(const char** attributes) {
        auto& points = bundle_.sweep.basicPoints;
        if (points.size() >= kMaxImportedPoints) return;
        const char* frequency = attribute(attributes, "frequency");
        const char* amplitude = attribute(attributes, "amplitude");
        const char* phase = attribute(attributes, "phase");
        db::BasicFraPoint p;
        if (!frequency || !amplitude || !phase || !wholeNumber(frequency, p.frequency) ||
            !wholeNumber(amplitude, p.amplitude) || !wholeNumber(phase, p.phase))
            return stop(kNotValidXml);
        points.push_back(p);
    }

    void store(Field field, const std::string& text) {
        db::SweepBundle& b = bundle_;
        switch (field) {
        case Field::Date: b.sweep.date = storedDate(text, '-', true); break;
        case Field::Time: {
            std::string time = text;  // written 13h48
            if (const auto h = time.find('h'); h != std::string::npos) time[h] = ':';
            b.sweep.time = time;
            break;
        }
        case Field::Manufacturer: b.transformer.manufacturer = text; break;
        case Field::SerialNumber: b.transformer.serialNumber = text; break;
        case Field::PeakVoltage: b.sweep.peakVoltage = leadingNumber(text); break;
        case Field::ReferenceTerminal: b.setup.referenceTerminal = text; break;
        case Field::ResponseTerminal: b.setup.responseTerminal = text; break;
        case Field::ConnectedTerminals: b.setup.connectedTerminals = text; break;
        case Field::Oltc: b.setup.oltc = leadingInteger(text); break;
        case Field::Temperature: b.sweep.temperature = leadingNumber(text); break;
        // The writer says "yes"; files from elsewhere may say "Yes".
        case Field::FluidFilled: b.setup.fluidFilled = lowerAscii(text) == "yes"; break;
        case Field::UnshieldedLength: b.setup.unshieldedLength = static_cast<float>(leadingNumber(text)); break;
        case Field::Comments: b.setup.comments = text; break;
        case Field::None: break;
        }
    }

    db::SweepBundle& bundle_;
    XML_Parser parser_;
    const char* refusal_ = nullptr;
    bool transformerSeen_ = false;
    std::vector<std::string> path_;  // the open elements, the root first
    Field field_ = Field::None;      // the text field being read, at depth fieldDepth_
    std::size_t fieldDepth_ = 0;
    ElementText text_;
};

}  // namespace

const char* readIecXml(std::string_view document, db::SweepBundle& bundle) {
    IecXmlReader reader(bundle);
    reader.feed(document, true);
    return reader.refusal();
}

bool importIecXmlFile(const std::string& path, db::SweepBundle& bundle) {
    bundle = db::SweepBundle{};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return settleBundle(bundle, kCannotOpenFile);
    // In pieces, so that a file of any size is read in little memory.
    IecXmlReader reader(bundle);
    std::vector<char> piece(1u << 16);
    bool more = true;
    while (more) {
        const std::size_t n = std::fread(piece.data(), 1, piece.size(), file);
        more = n == piece.size();
        if (!reader.feed(std::string_view(piece.data(), n), !more)) break;
    }
    const bool unreadable = std::ferror(file) != 0;
    std::fclose(file);
    const char* refusal = unreadable ? kCannotOpenFile : reader.refusal();
    if (!refusal) bundle.sweep.name = uniqueSweepName(baseName(path));
    return settleBundle(bundle, refusal);
}

}  // namespace interchange
