// The package is made with libzip, which writes the archive to a temporary file beside the target and
// renames it into place when it is complete.
#include "interchange/docx_export.h"

#include <zip.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>

#include "common/bmp_file.h"
#include "common/string_printf.h"

namespace interchange {
namespace {

constexpr long long kEmuPerPixel = 9525;  // at 96 dots per inch

const char* const kContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Default Extension=\"bmp\" ContentType=\"image/bmp\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "</Types>";

const char* const kPackageRelationships =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/>"
    "</Relationships>";

const char* const kDocumentRelationships =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rIdPicture\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" "
    "Target=\"media/image1.bmp\"/>"
    "</Relationships>";

// The main document: one paragraph holding the picture inline, cx × cy EMU.
std::string documentXml(long long cx, long long cy) {
    return common::stringPrintf(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
        "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
        "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
        "<w:body><w:p><w:r><w:drawing>"
        "<wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
        "<wp:extent cx=\"%lld\" cy=\"%lld\"/>"
        "<wp:docPr id=\"1\" name=\"Picture 1\"/>"
        "<wp:cNvGraphicFramePr><a:graphicFrameLocks noChangeAspect=\"1\"/></wp:cNvGraphicFramePr>"
        "<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
        "<pic:pic><pic:nvPicPr><pic:cNvPr id=\"1\" name=\"image1.bmp\"/><pic:cNvPicPr/></pic:nvPicPr>"
        "<pic:blipFill><a:blip r:embed=\"rIdPicture\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
        "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"%lld\" cy=\"%lld\"/></a:xfrm>"
        "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr>"
        "</pic:pic></a:graphicData></a:graphic></wp:inline>"
        "</w:drawing></w:r></w:p></w:body></w:document>",
        cx, cy, cx, cy);
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

// Adds a part whose bytes the caller keeps alive until the archive is closed.
bool addPart(zip_t* archive, const char* name, const std::string& bytes) {
    zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    if (!source) return false;
    if (zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
        zip_source_free(source);
        return false;
    }
    return true;
}

}  // namespace

bool writePictureDocument(const std::string& documentPath, const std::string& picturePath) {
    std::ifstream in(picturePath, std::ios::binary);
    if (!in) return false;
    const std::string picture{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::uint32_t width = 0, height = 0;
    if (!common::bmpPictureSize(picture, width, height)) return false;

    long long cx = static_cast<long long>(width) * kEmuPerPixel;
    long long cy = static_cast<long long>(height) * kEmuPerPixel;
    if (cx > kMaxPictureWidthEmu) {
        cy = cy * kMaxPictureWidthEmu / cx;
        cx = kMaxPictureWidthEmu;
    }
    const std::string contentTypes = kContentTypes, packageRelationships = kPackageRelationships,
                      documentRelationships = kDocumentRelationships, document = documentXml(cx, cy);

    int error = 0;
    std::unique_ptr<zip_t, ArchiveCloser> archive(zip_open(documentPath.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!archive) return false;
    // The content types come first, as readers that stream the package expect.
    if (!addPart(archive.get(), "[Content_Types].xml", contentTypes) ||
        !addPart(archive.get(), "_rels/.rels", packageRelationships) ||
        !addPart(archive.get(), "word/document.xml", document) ||
        !addPart(archive.get(), "word/_rels/document.xml.rels", documentRelationships) ||
        !addPart(archive.get(), "word/media/image1.bmp", picture))
        return false;
    if (zip_close(archive.get()) != 0) return false;
    archive.release();
    return true;
}

}  // namespace interchange
