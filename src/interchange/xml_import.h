// The XML sweep readers by extension, the instrument maker's ".sfra" sweep files (versions 2 and 3),
// read line by line with one element a line in a fixed order, and what the file readers share: the
// line handling (also used by the PAX reader), number reading, sweep naming and the refusals.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "db/records.h"

namespace interchange {

// Reads one sweep file into bundle by its extension: ".sfra" or ".SFRA" with importSweepFile, any
// other with importIecXmlFile (iec_xml_import.h). True when the bundle was filled (marker 1).
bool importXmlFile(const std::string& path, db::SweepBundle& bundle);

// Reads a ".sfra" sweep file into bundle: a basic FRA sweep (data type 0) of at most 2000 points,
// named after the file and made unique among the stored sweeps, with its transformer, setup and
// equipment. A refused file gets its message, and bundle stays empty (marker -1). True when filled.
bool importSweepFile(const std::string& path, db::SweepBundle& bundle);

// The refusals of the XML readers.
inline constexpr const char* kNotValidXml = "The selected file is not a valid XML file";
inline constexpr const char* kNotCompatibleXml = "The selected file is not a compatable XML file";
inline constexpr const char* kCannotOpenFile = "Unable to open file";

// The most points a sweep read from a file keeps; further points are passed over.
inline constexpr std::size_t kMaxImportedPoints = 2000;

// ---- Line handling shared by the line-oriented readers ----

// The longest line the readers take; a file with a longer line is not one of the files they read.
constexpr std::size_t kMaxLineLength = 4u << 20;

// Reads a file line by line (a line feed ends a line). Each line comes without its line end (a
// carriage return before the line feed included) and without leading tabs and spaces; a UTF-8
// byte-order mark at the start of the file is dropped.
class LineReader {
public:
    explicit LineReader(const std::string& path);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    // The next line; false at the end of the file, and for good once a line is longer than
    // kMaxLineLength.
    bool next(std::string& line);

private:
    std::FILE* file_;
    bool first_ = true;
    bool tooLong_ = false;
};

// A field of the sweep and PAX files: the lines up to and including the first one holding a closing
// tag ("</"). False when the file ends first.
bool readField(LineReader& in, std::vector<std::string>& lines);

// The text a line carries, trimmed and unescaped: after its first ">" up to the next "<" for a line
// that starts with a tag; up to the first "<" for a line that continues a text from the line before.
std::string lineContent(std::string_view line);

// The texts between successive pairs of double quotes, as they stand in the line (not unescaped).
std::vector<std::string> quotedValues(std::string_view line);

// text without leading and trailing blanks (spaces, tabs, carriage returns, line feeds).
std::string_view trimmed(std::string_view text);

// The number text starts with (after blanks; "+" allowed), as the C library's conversion reads it
// but independent of the locale; 0 when it does not start with a number.
double leadingNumber(std::string_view text);

// The same for an integer (a fraction is cut off), held to the range of a 32-bit integer.
int leadingInteger(std::string_view text);

// True when text, apart from surrounding blanks, is exactly one number; value then holds it.
bool wholeNumber(std::string_view text, double& value);

// text with its ASCII capitals made small; other characters as they are.
std::string lowerAscii(std::string text);

// The file name of a path: after its last separator. The base name: that, before its last ".".
std::string fileName(const std::string& path);
std::string baseName(const std::string& path);

// name made unique among the sweeps of the open database, compared without regard to case: name
// itself when it is longer than 3 characters and free, otherwise "name (2)", "name (3)", ... (a name
// of 3 characters or fewer starts at "name (1)"). Cut to fit a sweep name. Without an open database
// no name is taken.
std::string uniqueSweepName(const std::string& name);

// A reader of one kind of file: fills bundle from in (path is the file's path) and returns nullptr,
// or returns the message of its refusal.
using BundleReader = const char* (*)(LineReader& in, db::SweepBundle& bundle, const std::string& path);

// Opens path and reads it with read into a cleared bundle, then settles it with settleBundle. A file
// that cannot be opened is refused with "Unable to open file". True when the bundle was filled.
bool readBundle(const std::string& path, db::SweepBundle& bundle, BundleReader read);

// Settles a bundle its reader has finished: refused (refusal not null), it gets the message and
// is left empty (marker -1); read, it is a basic FRA sweep of its transformer with marker 1.
// Returns whether it was read.
bool settleBundle(db::SweepBundle& bundle, const char* refusal);

// Shows an import failure: text in a box captioned "Import Error" with an information icon.
void showImportError(const std::string& text);

}  // namespace interchange
