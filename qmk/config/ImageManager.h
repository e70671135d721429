#pragma once
// The program's pictures, compiled in as Qt resources and registered by file name.
//
// One ImageManager exists (getInstance); it needs a QGuiApplication. Images are made on their
// first request and kept for the run, so two requests give the same image.
#include <QIcon>
#include <QPixmap>

#include <map>
#include <string>
#include <vector>

namespace qmk::config {

class ImageManager {
public:
    static ImageManager& getInstance();

    // The image registered under fileName, or nullptr when no image has that name.
    const QPixmap* get(const std::string& fileName);
    // An icon of that image (every size of an ".ico"), or a null icon for an unknown name.
    QIcon icon(const std::string& fileName);
    // The registered file names (every embedded picture), in name order.
    const std::vector<std::string>& names() const { return names_; }

private:
    ImageManager();
    static QString resourcePath(const std::string& fileName);

    std::vector<std::string> names_;
    std::map<std::string, QPixmap> images_;
};

} // namespace qmk::config
