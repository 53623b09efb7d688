#include "gui/browse/PictureCache.h"

#include "browse/JpegPicture.h"
#include "files/ServerNames.h"
#include "gui/common/PlainMessage.h"
#include "gui/common/QtText.h"
#include "text/CpLiteral.h"

#include <QFileInfo>
#include <QImageReader>

#include <functional>

namespace velt::gui {

namespace {

constexpr std::size_t kMaxCarried = 400;  // carried pictures kept at once

QString Local(const std::string& name) { return toQPath(name); }

}  // namespace

PictureCache& PictureCache::Instance() {
    static PictureCache cache;
    return cache;
}

QImage PictureCache::Load(const std::string& full) {
    // A name from the display formats ("kolekcja.bmp") may be drawn in PNG.
    const QFileInfo info(Local(full));
    const QString base = info.path() + "/" + info.completeBaseName();
    for (const QString& candidate : {base + "@2x.png", base + ".png", Local(full)}) {
        if (!QFileInfo::exists(candidate)) continue;
        QImageReader reader(candidate);
        reader.setAutoTransform(true);
        // Pictures from elsewhere are never trusted to be small.
        const QSize size = reader.size();
        if (size.isValid() && (size.width() > 4096 || size.height() > 4096)) continue;
        QImage image = reader.read();
        if (image.isNull()) continue;
        if (candidate.endsWith("@2x.png")) image.setDevicePixelRatio(2.0);
        return image;
    }
    return {};
}

const QImage& PictureCache::File(const std::string& directory, const std::string& name) {
    std::string full = name;
    if (name.empty() || name[0] != '/') full = directory + name;
    auto it = mFiles.find(full);
    if (it != mFiles.end()) return it->second;
    // Names from the server never leave the image directory.
    QImage image;
    if (const std::string inside = PathInside(directory, name); !inside.empty()) image = Load(inside);
    if (image.isNull()) {
        ++mReported;
        plain_message("Brak pliku "_cp + full);
    }
    return mFiles.emplace(full, std::move(image)).first->second;
}

const QImage& PictureCache::Carried(const std::string& jpeg, std::string& id) {
    id = "jpeg:" + std::to_string(std::hash<std::string>{}(jpeg)) + ":" + std::to_string(jpeg.size());
    auto it = mCarried.find(id);
    if (it != mCarried.end()) return it->second;
    const RgbPicture decoded = DecodeJpeg(jpeg);
    QImage image;
    if (decoded.Ok()) {
        image = QImage(decoded.rgb.data(), decoded.width, decoded.height, decoded.width * 3, QImage::Format_RGB888)
                    .copy();
    } else {
        image = Placeholder();
    }
    if (mCarried.size() >= kMaxCarried && !mCarriedOrder.empty()) {
        mCarried.erase(mCarriedOrder.front());
        mCarriedOrder.pop_front();
    }
    mCarriedOrder.push_back(id);
    return mCarried.emplace(id, std::move(image)).first->second;
}

void PictureCache::SetImageDirectory(const std::string& directory) {
    mDirectory = directory;
    mPlaceholder = QImage();
}

const QImage& PictureCache::Placeholder() {
    if (mPlaceholder.isNull()) {
        mPlaceholder = Load(mDirectory + "brak.bmp");
        if (mPlaceholder.isNull()) {
            mPlaceholder = QImage(32, 24, QImage::Format_ARGB32_Premultiplied);
            mPlaceholder.fill(QColor(0xF2, 0xF2, 0xF2));
        }
    }
    return mPlaceholder;
}

const QImage* PictureCache::Find(const std::string& id) const {
    if (const auto it = mCarried.find(id); it != mCarried.end()) return &it->second;
    if (const auto it = mFiles.find(id); it != mFiles.end()) return &it->second;
    return nullptr;
}

}  // namespace velt::gui
