// The picture store: GIF frame counting and frame access, loading by address, lookup by name,
// and what undecodable bytes do.
#include "surfaces/PictureStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>
#include <unistd.h>

using namespace platform::gfx;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A 1 x 1 GIF whose frames show the colours of the global table at the given indices (red,
// green, blue, white), each frame behind its graphic control extension.
Bytes gif(const std::vector<int>& frames) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x81, 0, 0};
    for (const std::uint8_t c : {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}) {
        b.push_back(c);
    }
    for (const int index : frames) {
        // clear code, the pixel, end code: 3-bit codes packed from the low bit
        const int codes = 4 | (index << 3) | (5 << 6);
        // graphic control extension, image descriptor, LZW code size and one sub-block
        Bytes frame = {0x21, 0xF9, 0x04, 0, 0x0A, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2};
        frame.push_back(std::uint8_t(codes & 0xFF));
        frame.push_back(std::uint8_t(codes >> 8));
        frame.push_back(0);
        b.insert(b.end(), frame.begin(), frame.end());
    }
    b.push_back(0x3B);
    return b;
}

std::string loadError(const Bytes& bytes) {
    THTMLPicture p;
    try {
        p.LoadFromBytes(bytes);
    } catch (const std::runtime_error& e) {
        EXPECT_TRUE(p.Empty());
        EXPECT_EQ(p.Width(), 0);
        return e.what();
    }
    return "";
}

} // namespace

TEST(PictureStore, GifFramesAreCountedFromTheirControlBlocks) {
    const Bytes three = gif({0, 1, 2});
    EXPECT_EQ(CountGifFrames(three), 3);
    EXPECT_EQ(CountGifFrames(gif({})), 0);
    EXPECT_EQ(CountGifFrames(Bytes{'G', 'I', 'F', '8'}), -1); // under five bytes
    EXPECT_EQ(CountGifFrames(Bytes{'G', 'I', 'F', '8', '7'}), 0);
    EXPECT_EQ(CountGifFrames(Bytes{0x89, 'P', 'N', 'G', 0x0D, 0x21, 0xF9, 0x04}), -1);
    // A control block cut off before its image descriptor does not count, nor one at the end.
    Bytes cut = three;
    cut.resize(cut.size() - 1 - 23 + 8);
    EXPECT_EQ(CountGifFrames(cut), 2);

    THTMLPicture p;
    EXPECT_EQ(p.FrameCount(), -1);
    p.LoadFromBytes(three);
    EXPECT_EQ(p.FrameCount(), 3);
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.Width(), 1);
    EXPECT_EQ(p.Height(), 1);
}

TEST(PictureStore, FramesAreDecodedOneByOneAndClampedToTheFile) {
    THTMLPicture p;
    int changes = 0;
    p.OnFrameChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &p);
        ++changes;
    };
    p.LoadFromBytes(gif({0, 1, 2}));
    EXPECT_EQ(p.Bitmap().GetPixel(0, 0), clRed);
    struct Case {
        int set;
        int frame;
        TColor colour;
    };
    for (const Case& c : {Case{2, 2, clLime}, Case{99, 3, clBlue}, Case{0, 1, clRed},
                          Case{-5, 1, clRed}, Case{3, 3, clBlue}}) {
        p.SetFrame(c.set);
        EXPECT_EQ(p.Frame(), c.frame) << c.set;
        EXPECT_EQ(p.Bitmap().GetPixel(0, 0), c.colour) << c.set;
    }
    EXPECT_EQ(changes, 5);

    // A picture that is no GIF has one frame.
    THTMLPicture still;
    still.SetFrame(4);
    EXPECT_EQ(still.Frame(), 1);
}

TEST(PictureStore, AddressesLoadFilesAndResourcesOnlyInAnyCaseOfTheScheme) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("tb-picture-Store-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const auto file = dir / "Red.GIF";
    {
        const Bytes b = gif({0});
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    }
    for (const std::string scheme : {"FILE://", "file://", "File://"}) {
        THTMLPicture p;
        p.LoadFromURL(scheme + file.string());
        EXPECT_FALSE(p.Empty()) << scheme;
        EXPECT_EQ(p.URL(), scheme + file.string());
        EXPECT_EQ(p.FileName(), file.string());
        EXPECT_FALSE(p.Downloading());
    }
    THTMLPicture wrongCase;
    EXPECT_THROW(wrongCase.LoadFromURL("FILE://" + (dir / "red.gif").string()), std::exception);
    EXPECT_TRUE(wrongCase.Empty());

    THTMLPicture web;
    web.LoadFromURL("http://example.org/logo.gif");
    web.LoadFromURL("http://example.org/logo.gif");
    EXPECT_TRUE(web.Empty());
    EXPECT_TRUE(web.Downloading());
    THTMLPicture synchronous;
    synchronous.Asynchronous = false;
    synchronous.LoadFromURL("http://example.org/logo.gif");
    EXPECT_TRUE(synchronous.Empty());
    EXPECT_FALSE(synchronous.Downloading());
    THTMLPicture resource;
    resource.LoadFromURL("res://NoSuchPicture");
    EXPECT_TRUE(resource.Empty());
    EXPECT_EQ(resource.URL(), "res://NoSuchPicture");
    std::filesystem::remove_all(dir);

    THTMLPictureCache cache;
    cache.AddPicture().LoadFromURL("http://a/B.gif");
    EXPECT_EQ(cache.FindPicture("http://a/B.gif"), &cache.Items(0));
    EXPECT_EQ(cache.FindPicture("http://a/b.gif"), nullptr); // addresses compare exactly
}

TEST(PictureStore, UndecodableBytesRaiseTheLoadTextsAndLeaveThePictureEmpty) {
    EXPECT_EQ(loadError({'n', 'o', 't', ' ', 'a', 'n', 'y'}), kImageInvalidFormat);
    EXPECT_EQ(loadError({}), kImageEmptyStream);
    Bytes truncated = gif({0, 1});
    truncated.resize(20);
    EXPECT_NE(loadError(truncated), "");
    EXPECT_EQ(loadError(gif({1})), "");

    THTMLPicture p;
    std::istringstream garbage("GIF8 but nothing else");
    EXPECT_THROW(p.LoadFromStream(garbage), std::runtime_error);
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(p.FrameCount(), -1);
}

TEST(PictureStore, AssignLoadAndSaveKeepTheBytes) {
    const Bytes bytes = gif({2, 0});
    THTMLPicture source;
    int changes = 0;
    source.OnChange = [&](TObject*) { ++changes; };
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    source.LoadFromStream(in);
    EXPECT_EQ(changes, 1);
    std::ostringstream out;
    source.SaveToStream(out);
    EXPECT_EQ(out.str(), std::string(bytes.begin(), bytes.end()));

    THTMLPicture copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.Bytes(), bytes);
    EXPECT_EQ(copy.Bitmap().GetPixel(0, 0), clBlue);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    EXPECT_TRUE(copy.Bytes().empty());
    copy.Assign(&copy);
    EXPECT_TRUE(copy.Empty());
}

TEST(PictureStore, NamesAreFoundInAnyLetterCaseFirstOneFirst) {
    TPictureStore store;
    EXPECT_EQ(store.Version(), "1.0.0.0");
    store.SetVersion("9");
    EXPECT_EQ(store.Version(), "1.0.0.0");
    TPictureItem& logo = store.Items().Add();
    logo.Name = "LOGO";
    logo.Tag = 7;
    logo.Picture().LoadFromBytes(gif({1}));
    store.Items().Add().Name = "logo";
    EXPECT_EQ(store.FindPicture("logo"), &logo.Picture());
    EXPECT_EQ(store.FindPicture("Logo"), &logo.Picture());
    EXPECT_EQ(store.FindPicture("logos"), nullptr);
    EXPECT_EQ(logo.Collection(), &store.Items());
    EXPECT_EQ(store.Items().Owner(), &store);

    TPictureItem& copy = store.Items().Add();
    copy.Assign(logo);
    EXPECT_EQ(copy.Name, "LOGO");
    EXPECT_EQ(copy.Tag, 7);
    EXPECT_EQ(copy.Picture().Bitmap().GetPixel(0, 0), clLime);
}
