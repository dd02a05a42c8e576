// A picture placed in a new word-processor document written as an Office Open XML package (.docx),
// for machines where no word processor can be driven by automation: the package's content types,
// relationships and main document, and the picture embedded as it is. Any thread; the caller chooses
// the file.
#pragma once

#include <string>

namespace interchange {

// The largest width the picture is given in the document: six inches, within the text width of both
// A4 and Letter pages with one-inch margins, in the document's units (EMU, 914,400 an inch).
constexpr long long kMaxPictureWidthEmu = 6 * 914400;

// Writes a new document at documentPath holding the bitmap file at picturePath (a BMP file) as one
// inline picture, at 96 dots per inch or narrowed to kMaxPictureWidthEmu with its proportions kept.
// The package is written whole or not at all (an old file of that name is replaced only by a
// complete one). False when the picture cannot be read or is no BMP file, or the document cannot be
// written.
bool writePictureDocument(const std::string& documentPath, const std::string& picturePath);

}  // namespace interchange
