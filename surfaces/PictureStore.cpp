#include "surfaces/PictureStore.h"

#include "platform/gfx/QtImage.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unordered_set>

namespace gfx = platform::gfx;

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::toupper(x) == std::toupper(y);
           });
}

bool startsIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// A picture with see-through pixels becomes a colour-keyed bitmap: the key is a colour the
// picture does not use, so nothing opaque is lost.
gfx::TBitmap keyedBitmap(const QImage& source) {
    if (!source.hasAlphaChannel()) {
        return gfx::bitmapFromImage(source);
    }
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    std::unordered_set<std::uint32_t> used;
    bool seeThrough = false;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) < 128) {
                seeThrough = true;
            } else {
                used.insert(line[x] & 0xFFFFFFu);
            }
        }
    }
    gfx::TBitmap bitmap = gfx::bitmapFromImage(image);
    if (!seeThrough) {
        return bitmap;
    }
    std::uint32_t key = 0xFF00FFu;
    while (used.count(key) != 0) {
        key = (key + 0x010203u) & 0xFFFFFFu;
    }
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::uint32_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) < 128) {
                row[x] = 0xFF000000u | key;
            }
        }
    }
    bitmap.Transparent = true;
    bitmap.SetTransparentColor(gfx::argbToColor(key));
    return bitmap;
}

} // namespace

TDownLoadThread::TDownLoadThread(THTMLPicture& picture)
    : picture_(picture), thread_([this] { Execute(); }) {}

TDownLoadThread::~TDownLoadThread() = default;

int CountGifFrames(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 5 || bytes[0] != 'G' || bytes[1] != 'I' || bytes[2] != 'F' ||
        bytes[3] != '8') {
        return -1;
    }
    int frames = 0;
    for (std::size_t i = 0; i + 8 < bytes.size(); ++i) {
        if (bytes[i] == 0x21 && bytes[i + 1] == 0xF9 && bytes[i + 2] == 0x04 &&
            bytes[i + 8] == 0x2C) {
            ++frames;
        }
    }
    return frames;
}

THTMLPicture::THTMLPicture() = default;

THTMLPicture::~THTMLPicture() = default;

void THTMLPicture::reset() {
    bytes_.clear();
    empty_ = true;
    decoded_ = gfx::TBitmap();
    frame_ = 1;
    frameCount_ = -1;
}

int THTMLPicture::FrameCount() {
    if (frameCount_ == -1 && !bytes_.empty()) {
        frameCount_ = CountGifFrames(bytes_);
    }
    return frameCount_;
}

void THTMLPicture::SetFrame(int frame) {
    frame_ = std::clamp(frame, 1, std::max(1, FrameCount()));
    if (!bytes_.empty()) {
        decode();
    }
    if (OnFrameChange) {
        OnFrameChange(this);
    }
}

void THTMLPicture::decode() {
    decoded_ = gfx::TBitmap();
    empty_ = true;
    try {
        if (bytes_.empty()) {
            throw std::runtime_error(kImageEmptyStream);
        }
        QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes_.data()),
                                                  static_cast<qsizetype>(bytes_.size()));
        QBuffer buffer(&data);
        if (!buffer.open(QIODevice::ReadOnly)) {
            throw std::runtime_error(kImageNoStream);
        }
        QImageReader reader(&buffer);
        if (!reader.canRead()) {
            throw std::runtime_error(kImageInvalidFormat);
        }
        const QSize size = reader.size();
        if (size.isValid() && std::int64_t(size.width()) * size.height() > gfx::kMaxBitmapPixels) {
            throw std::runtime_error(kImageNoMemory);
        }
        QImage image;
        if (frame_ > 1 && !reader.jumpToImage(frame_ - 1)) {
            // Readers without random access give the frames in order; each one read is the
            // picture as composed up to that frame.
            for (int i = 1; i < frame_ && reader.canRead(); ++i) {
                image = reader.read();
            }
        }
        if (reader.canRead()) {
            image = reader.read();
        }
        if (image.isNull()) {
            throw std::runtime_error(kImageNotLoaded);
        }
        decoded_ = keyedBitmap(image);
        empty_ = false;
    } catch (...) {
        // The bytes are of no use to anybody: the picture is empty again.
        const int frame = frame_;
        reset();
        frame_ = frame;
        throw;
    }
}

void THTMLPicture::changed() {
    if (OnChange) {
        OnChange(this);
    }
}

void THTMLPicture::Assign(const THTMLPicture* source) {
    if (source == this) {
        return;
    }
    reset();
    if (source == nullptr || source->bytes_.empty()) {
        changed();
        return;
    }
    LoadFromBytes(source->bytes_);
}

void THTMLPicture::LoadFromBytes(std::vector<std::uint8_t> bytes) {
    reset();
    bytes_ = std::move(bytes);
    decode();
    changed();
}

void THTMLPicture::LoadFromStream(std::istream& stream) {
    std::vector<std::uint8_t> bytes;
    char buffer[65536];
    while (stream.read(buffer, sizeof buffer) || stream.gcount() > 0) {
        bytes.insert(bytes.end(), buffer, buffer + stream.gcount());
    }
    if (stream.bad()) {
        throw std::ios_base::failure("Stream read error");
    }
    LoadFromBytes(std::move(bytes));
}

void THTMLPicture::LoadFromFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::ios_base::failure("Cannot open file \"" + path.string() + "\"");
    }
    fileName_ = path.string();
    LoadFromStream(file);
}

void THTMLPicture::SaveToStream(std::ostream& stream) const {
    stream.write(reinterpret_cast<const char*>(bytes_.data()),
                 static_cast<std::streamsize>(bytes_.size()));
}

void THTMLPicture::LoadFromURL(const std::string& url) {
    url_ = url;
    constexpr std::string_view res = "RES://";
    constexpr std::string_view file = "FILE://";
    if (startsIgnoringCase(url, res)) {
        // The program's resources are Qt resources; it ships none, so nothing loads.
        QFile resource(QStringLiteral(":/") + QString::fromStdString(url.substr(res.size())));
        if (!resource.open(QIODevice::ReadOnly)) {
            return;
        }
        const QByteArray data = resource.readAll();
        LoadFromBytes(std::vector<std::uint8_t>(data.begin(), data.end()));
        return;
    }
    if (startsIgnoringCase(url, file)) {
        LoadFromFile(std::filesystem::path(url.substr(file.size())));
        return;
    }
    if (Asynchronous && !downloading_) {
        downloading_ = true;
        download_ = std::make_unique<TDownLoadThread>(*this);
    }
}

void THTMLPicture::Draw(gfx::TCanvas& canvas, const gfx::TRect& rect) const {
    if (!empty_) {
        canvas.StretchDraw(rect, decoded_);
    }
}

THTMLPicture* THTMLPictureCache::FindPicture(std::string_view url) const {
    for (const auto& p : items_) {
        if (p->URL() == url) {
            return p.get();
        }
    }
    return nullptr;
}

THTMLPicture& THTMLPictureCache::AddPicture() {
    items_.push_back(std::make_unique<THTMLPicture>());
    return *items_.back();
}

TPictureItem::TPictureItem(TPictureCollection* collection)
    : collection_(collection), picture_(std::make_unique<THTMLPicture>()) {}

void TPictureItem::Assign(const TPictureItem& source) {
    if (&source == this) {
        return;
    }
    Name = source.Name;
    Tag = source.Tag;
    picture_->Assign(source.picture_.get());
}

TPictureItem& TPictureCollection::Add() {
    items_.push_back(std::make_unique<TPictureItem>(this));
    return *items_.back();
}

TPictureStore::TPictureStore(QObject* owner) : QObject(owner), items_(this) {}

TPictureStore::~TPictureStore() = default;

THTMLPicture* TPictureStore::FindPicture(std::string_view name) const {
    for (int i = 0; i < items_.Count(); ++i) {
        TPictureItem& item = items_.Items(i);
        if (equalsIgnoringCase(item.Name, name)) {
            return &item.Picture();
        }
    }
    return nullptr;
}
