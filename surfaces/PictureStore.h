// The pictures hint markup can show: a picture that keeps its encoded bytes and draws them
// (animated GIF files frame by frame), the cache of pictures that hint markup loaded by address,
// and a component holding a collection of named pictures.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "surfaces/Controls.h"

#include <QObject>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class THTMLPicture;

using TDownloadErrorEvent = std::function<void(TObject* Sender, const std::string& Err)>;
using TDownloadCompleteEvent = std::function<void(TObject* Sender)>;
using TDownloadCancelEvent = std::function<void(TObject* Sender, bool& Cancel)>;
using TDownloadProgressEvent =
    std::function<void(TObject* Sender, std::uint32_t dwSize, std::uint32_t dwTotSize)>;

// Would fetch a picture from a network address. Pictures are never downloaded, so its work is
// empty; it is joined when its picture goes.
class TDownLoadThread {
public:
    explicit TDownLoadThread(THTMLPicture& picture);
    ~TDownLoadThread();
    TDownLoadThread(const TDownLoadThread&) = delete;
    TDownLoadThread& operator=(const TDownLoadThread&) = delete;

    THTMLPicture& Picture() const { return picture_; }

private:
    void Execute() {}

    THTMLPicture& picture_;
    std::jthread thread_;
};

// The texts a load raises when the bytes cannot be decoded.
inline constexpr const char* kImageNoMemory = "Could not allocate memory for image";
inline constexpr const char* kImageNoStream = "Could not create image stream";
inline constexpr const char* kImageEmptyStream = "Empty image stream created";
inline constexpr const char* kImageInvalidFormat = "Could not load image. Invalid format";
inline constexpr const char* kImageNotLoaded = "Could not load image";

// GIF frames counted the cheap way: a graphic control extension directly before an image
// descriptor is one frame. -1 when the bytes are not a GIF file.
int CountGifFrames(std::span<const std::uint8_t> bytes);

class THTMLPicture : public QObject {
public:
    THTMLPicture();
    ~THTMLPicture() override;

    // True until bytes are loaded and decoded.
    bool Empty() const { return empty_; }
    // The decoded size (at the fixed 96 pixels per inch); 0 when nothing is decoded.
    int Width() const { return decoded_.Width(); }
    int Height() const { return decoded_.Height(); }
    // The size the hint markup lays out: the forced size where one is set.
    int DisplayWidth() const { return ForcedWidth > 0 ? ForcedWidth : Width(); }
    int DisplayHeight() const { return ForcedHeight > 0 ? ForcedHeight : Height(); }
    const platform::gfx::TBitmap& Bitmap() const { return decoded_; }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

    // The frame shown, from 1. Setting it keeps it within the frames the file holds, decodes
    // again when there are bytes and fires OnFrameChange.
    int Frame() const { return frame_; }
    void SetFrame(int frame);
    // Counted once per load; -1 for anything but a GIF file.
    int FrameCount();

    bool Stretch = false;
    // With it, an address that is not a resource or a file starts the (empty) download.
    bool Asynchronous = true;
    bool Downloading() const { return downloading_; }
    const std::string& URL() const { return url_; }
    const std::string& FileName() const { return fileName_; }
    int ForcedWidth = 0;
    int ForcedHeight = 0;

    // Copies the bytes of another picture and decodes them; nullptr clears the picture.
    void Assign(const THTMLPicture* source);
    // Keep the bytes and decode them; a failed decode throws std::runtime_error with one of the
    // texts above and leaves the picture empty. Reading failures are std::ios errors.
    void LoadFromBytes(std::vector<std::uint8_t> bytes);
    void LoadFromStream(std::istream& stream);
    void LoadFromFile(const std::filesystem::path& path);
    // Writes the bytes as they were loaded.
    void SaveToStream(std::ostream& stream) const;
    // "RES://name" (a resource of the program), "FILE://path"; any other address is only
    // remembered. The scheme is matched in any letter case, the rest keeps its case.
    void LoadFromURL(const std::string& url);
    // The decoded picture stretched into the rectangle.
    void Draw(platform::gfx::TCanvas& canvas, const platform::gfx::TRect& rect) const;

    TNotifyEvent OnChange;
    TNotifyEvent OnFrameChange;
    // Kept for handlers that expect them; nothing is ever downloaded, so they never fire.
    TDownloadErrorEvent OnDownLoadError;
    TDownloadCompleteEvent OnDownLoadComplete;
    TDownloadCancelEvent OnDownLoadCancel;
    TDownloadProgressEvent OnDownLoadProgress;

private:
    void reset();
    void decode();
    void changed();

    std::vector<std::uint8_t> bytes_;
    bool empty_ = true;
    platform::gfx::TBitmap decoded_;
    int frame_ = 1;
    int frameCount_ = -1;
    bool downloading_ = false;
    std::string url_;
    std::string fileName_;
    std::unique_ptr<TDownLoadThread> download_;
};

// The pictures hint markup loaded by address, in the order they were met.
class THTMLPictureCache {
public:
    // The picture whose address is exactly `url`, or nullptr.
    THTMLPicture* FindPicture(std::string_view url) const;
    THTMLPicture& AddPicture();
    int Count() const { return static_cast<int>(items_.size()); }
    THTMLPicture& Items(int index) const { return *items_.at(std::size_t(index)); }
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<THTMLPicture>> items_;
};

class TPictureCollection;

class TPictureItem {
public:
    explicit TPictureItem(TPictureCollection* collection);

    THTMLPicture& Picture() { return *picture_; }
    const THTMLPicture& Picture() const { return *picture_; }
    TPictureCollection* Collection() const { return collection_; }
    std::string Name;
    int Tag = 0;

    // Name, tag and picture.
    void Assign(const TPictureItem& source);

private:
    TPictureCollection* collection_;
    std::unique_ptr<THTMLPicture> picture_;
};

class TPictureStore;

class TPictureCollection {
public:
    explicit TPictureCollection(TPictureStore* owner) : owner_(owner) {}

    TPictureStore* Owner() const { return owner_; }
    TPictureItem& Add();
    int Count() const { return static_cast<int>(items_.size()); }
    TPictureItem& Items(int index) const { return *items_.at(std::size_t(index)); }
    void Clear() { items_.clear(); }

private:
    TPictureStore* owner_;
    std::vector<std::unique_ptr<TPictureItem>> items_;
};

class TPictureStore : public QObject {
public:
    explicit TPictureStore(QObject* owner = nullptr);
    ~TPictureStore() override;

    TPictureCollection& Items() { return items_; }
    const TPictureCollection& Items() const { return items_; }
    // The picture of the first item of that name in any letter case, or nullptr.
    THTMLPicture* FindPicture(std::string_view name) const;

    std::string Version() const { return "1.0.0.0"; }
    void SetVersion(const std::string&) {}

private:
    TPictureCollection items_;
};
