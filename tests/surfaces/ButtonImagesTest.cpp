#include "surfaces/ButtonImages.h"

#include <QImage>

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace surfaces;

namespace {

int opaquePixels(const QPixmap& p) {
    const QImage img = p.toImage().convertToFormat(QImage::Format_ARGB32);
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            n += qAlpha(img.pixel(x, y)) != 0;
        }
    }
    return n;
}

QImage pixels(const QPixmap& p) {
    return p.toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(ControlButtonImage, GroupsHaveDistinctPicturesAndUnusedEntriesAreEmpty) {
    // The entries a page chooses between by a parameter's value; each group's pictures must tell
    // the values apart.
    const std::vector<std::vector<int>> groups = {{0, 1},   {3, 4, 5}, {6, 7, 8, 9, 10, 11},
                                                  {12, 13}, {14, 15},  {17, 18, 19},
                                                  {20, 21}, {22},      {24, 25, 26, 27}};
    std::set<int> used;
    for (const auto& group : groups) {
        for (std::size_t i = 0; i < group.size(); ++i) {
            SCOPED_TRACE(group[i]);
            used.insert(group[i]);
            const QPixmap p = ControlButtonImage(group[i]);
            EXPECT_EQ(p.size(), QSize(16, 16));
            const int opaque = opaquePixels(p);
            EXPECT_GT(opaque, 8) << "a picture";
            EXPECT_LT(opaque, 256) << "with a transparent background somewhere";
            for (std::size_t j = 0; j < i; ++j) {
                EXPECT_NE(pixels(p), pixels(ControlButtonImage(group[j]))) << "vs " << group[j];
            }
        }
    }
    for (int index : {2, 16, 23, -1, 28, 1000}) {
        SCOPED_TRACE(index);
        ASSERT_FALSE(used.count(index));
        const QPixmap p = ControlButtonImage(index);
        EXPECT_EQ(p.size(), QSize(16, 16));
        EXPECT_EQ(opaquePixels(p), 0);
    }
    EXPECT_EQ(used.size(), 25u);
}

TEST(ControlButtonImage, LineWidthPicturesShowColumnsOfTheirWidth) {
    // Along a row, the colour changes every 1, 2, 4 or 8 pixels.
    for (int k = 0; k < 4; ++k) {
        const QImage img = pixels(ControlButtonImage(24 + k));
        const int width = 1 << k;
        for (int x = 1; x < 16; ++x) {
            EXPECT_EQ(img.pixel(x, 8) != img.pixel(x - 1, 8), x % width == 0)
                << "width " << width << " x " << x;
        }
    }
}

TEST(ToolIcon, EveryIconIsADistinctSixteenPixelPicture) {
    std::vector<QImage> seen;
    for (int i = 0; i < kToolIconCount; ++i) {
        SCOPED_TRACE(i);
        const QIcon icon = ToolIcon(static_cast<ToolIconId>(i));
        ASSERT_FALSE(icon.isNull());
        const QPixmap p = icon.pixmap(16, 16);
        EXPECT_EQ(p.size(), QSize(16, 16));
        EXPECT_GT(opaquePixels(p), 8);
        const QImage img = pixels(p);
        for (std::size_t j = 0; j < seen.size(); ++j) {
            EXPECT_NE(img, seen[j]) << "same as icon " << j;
        }
        seen.push_back(img);
        EXPECT_EQ(ToolIcon(static_cast<ToolIconId>(i)).cacheKey(), icon.cacheKey()) << "kept";
    }
}
