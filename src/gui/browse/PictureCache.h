#pragma once
// The pictures the cells, the buttons and the report buttons show, loaded
// once per run: files of the image directory by their full name, and JPEGs
// carried in display lines by their bytes. A file named "x.bmp" is taken from
// "x@2x.png" (drawn at twice the size, for screens of high density) or
// "x.png" when one of those is there. A file that cannot be loaded is
// reported once, with "Brak pliku " and its name, and stays empty; a broken
// carried picture shows the placeholder.

#include <QImage>
#include <QString>

#include <list>
#include <map>
#include <string>

namespace velt::gui {

class PictureCache {
public:
    static PictureCache& Instance();

    // The picture of a file of directory (empty when it cannot be loaded;
    // reported the first time). Its size in logical pixels is
    // deviceIndependentSize().
    const QImage& File(const std::string& directory, const std::string& name);
    // A carried JPEG's picture (the placeholder when broken), and its id for Find.
    const QImage& Carried(const std::string& jpeg, std::string& id);
    // The directory of the program's own pictures (the placeholder's).
    void SetImageDirectory(const std::string& directory);
    const std::string& ImageDirectory() const { return mDirectory; }
    // What a broken picture shows.
    const QImage& Placeholder();
    // A picture by the id CellMeasurer gave it; null when unknown.
    const QImage* Find(const std::string& id) const;

    // How many files were reported missing (tests).
    int Reported() const { return mReported; }

private:
    QImage Load(const std::string& full);

    std::map<std::string, QImage> mFiles;      // by full name
    std::map<std::string, QImage> mCarried;    // by "jpeg:" + hash + size
    std::list<std::string> mCarriedOrder;      // oldest first
    int mReported = 0;
    std::string mDirectory;
    QImage mPlaceholder;
};

}  // namespace velt::gui
