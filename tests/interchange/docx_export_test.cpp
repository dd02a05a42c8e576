// A picture placed in a new .docx package: the package's parts, the picture embedded byte for byte at
// its size, and nothing written for a file that is no picture.
#include <gtest/gtest.h>
#include <zip.h>

#include <string>

#include "common/bmp_file.h"
#include "interchange/docx_export.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;

// A w × h picture file of one grey.
std::string bmp(std::uint32_t w, std::uint32_t h) {
    return common::bmpFileBytes(w, h, std::string(common::bmpRowStride(w) * h, '\x80'));
}

// The parts of a package by name.
std::string part(const std::string& package, const char* name) {
    int error = 0;
    zip_t* archive = zip_open(package.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive) return "<no package>";
    std::string bytes = "<no part>";
    zip_stat_t stat;
    if (zip_stat(archive, name, 0, &stat) == 0) {
        if (zip_file_t* file = zip_fopen(archive, name, 0)) {
            bytes.assign(stat.size, '\0');
            if (zip_fread(file, bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size)) bytes = "<short>";
            zip_fclose(file);
        }
    }
    zip_close(archive);
    return bytes;
}

bool contains(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

}  // namespace

TEST(DocxExport, ThePictureIsEmbeddedInlineAtItsSize) {
    TempDir dir;
    const std::string picture = bmp(320, 240);
    testing_support::writeFile(dir.file("screencap.bmp"), picture);
    const std::string document = dir.file("capture.docx");
    ASSERT_TRUE(interchange::writePictureDocument(document, dir.file("screencap.bmp")));

    const std::string types = part(document, "[Content_Types].xml");
    EXPECT_TRUE(contains(types, "Extension=\"bmp\" ContentType=\"image/bmp\"")) << types;
    EXPECT_TRUE(contains(types, "PartName=\"/word/document.xml\"")) << types;
    EXPECT_TRUE(contains(part(document, "_rels/.rels"), "Target=\"word/document.xml\""));
    const std::string relationships = part(document, "word/_rels/document.xml.rels");
    EXPECT_TRUE(contains(relationships, "Id=\"rIdPicture\"")) << relationships;
    EXPECT_TRUE(contains(relationships, "Target=\"media/image1.bmp\"")) << relationships;
    const std::string main = part(document, "word/document.xml");
    EXPECT_TRUE(contains(main, "r:embed=\"rIdPicture\"")) << main;
    EXPECT_TRUE(contains(main, "<wp:extent cx=\"3048000\" cy=\"2286000\"/>")) << "320 × 240 pixels at 96 dpi";
    EXPECT_EQ(part(document, "word/media/image1.bmp"), picture);
}

TEST(DocxExport, AWidePictureIsNarrowedToTheTextWidthKeepingItsShape) {
    TempDir dir;
    testing_support::writeFile(dir.file("graph.bmp"), bmp(1152, 576));
    const std::string document = dir.file("graph.docx");
    ASSERT_TRUE(interchange::writePictureDocument(document, dir.file("graph.bmp")));
    EXPECT_TRUE(contains(part(document, "word/document.xml"), "<wp:extent cx=\"5486400\" cy=\"2743200\"/>"));
}

TEST(DocxExport, NoPictureNoDocumentAndAnOldDocumentStays) {
    TempDir dir;
    const std::string document = dir.file("old.docx");
    testing_support::writeFile(document, "old");
    testing_support::writeFile(dir.file("text.bmp"), "not a bitmap");
    EXPECT_FALSE(interchange::writePictureDocument(document, dir.file("text.bmp")));
    EXPECT_FALSE(interchange::writePictureDocument(document, dir.file("missing.bmp")));
    EXPECT_EQ(testing_support::readFile(document), "old");
    testing_support::writeFile(dir.file("ok.bmp"), bmp(8, 8));
    EXPECT_FALSE(interchange::writePictureDocument(dir.file("no folder/new.docx"), dir.file("ok.bmp")));
}

// A word processor opens the document and finds the picture in it: converted to PDF, the page holds
// one image of the picture's size.
TEST(DocxExport, AWordProcessorOpensTheDocumentWithThePicture) {
    const std::string office = CORVANE_SOFFICE;
    ASSERT_FALSE(office.empty() || office.find("NOTFOUND") != std::string::npos)
        << "no soffice found when configuring: install libreoffice-writer-nogui (test.sh does)";
    TempDir dir;
    testing_support::writeFile(dir.file("screencap.bmp"), bmp(320, 240));
    ASSERT_TRUE(interchange::writePictureDocument(dir.file("capture.docx"), dir.file("screencap.bmp")));
    const testing_support::CommandResult converted = testing_support::runCommand(
        office, {"-env:UserInstallation=file://" + dir.file("profile"), "--headless", "--convert-to", "pdf",
                 "--outdir", dir.path(), dir.file("capture.docx")},
        dir.path(), dir.path());
    ASSERT_EQ(converted.exitCode, 0) << converted.out << converted.err;
    const std::string pdf = testing_support::readFile(dir.file("capture.pdf"));
    ASSERT_FALSE(pdf.empty()) << converted.out << converted.err;
    EXPECT_TRUE(contains(pdf, "/Subtype/Image")) << "no picture on the page";
    EXPECT_TRUE(contains(pdf, "/Width 320")) << "not the picture's width";
    EXPECT_TRUE(contains(pdf, "/Height 240")) << "not the picture's height";
}
