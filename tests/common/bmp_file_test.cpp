// BMP files of 24-bit pictures: the bytes a picture makes and the size read back.
#include <gtest/gtest.h>

#include "common/bmp_file.h"

TEST(BmpFile, HeadersBeforeTheRowsAndTheSizeReadsBack) {
    const std::string rows(common::bmpRowStride(5) * 3, '\x7F');
    EXPECT_EQ(common::bmpRowStride(5), 16u) << "15 bytes padded to four";
    const std::string file = common::bmpFileBytes(5, 3, rows);
    ASSERT_EQ(file.size(), 54u + rows.size());
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(file.substr(54), rows);
    std::uint32_t width = 0, height = 0;
    ASSERT_TRUE(common::bmpPictureSize(file, width, height));
    EXPECT_EQ(width, 5u);
    EXPECT_EQ(height, 3u);

    EXPECT_TRUE(common::bmpFileBytes(5, 3, rows.substr(1)).empty()) << "rows short of the picture";
    EXPECT_TRUE(common::bmpFileBytes(0, 3, "").empty());
    EXPECT_FALSE(common::bmpPictureSize("BM too short", width, height));
    EXPECT_FALSE(common::bmpPictureSize(std::string(60, 'x'), width, height));
}
