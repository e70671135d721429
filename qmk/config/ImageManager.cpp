#include "qmk/config/ImageManager.h"

#include <QDir>
#include <QImageReader>
#include <QtGlobal>

#include <algorithm>

static void initImageResources()
{
    Q_INIT_RESOURCE(images);
}

namespace qmk::config {

ImageManager& ImageManager::getInstance()
{
    static ImageManager instance;
    return instance;
}

ImageManager::ImageManager()
{
    initImageResources();
    // every file the build step drew is registered under its name
    for (const QString& name : QDir(":/images").entryList(QDir::Files, QDir::Name))
        names_.push_back(name.toStdString());
}

QString ImageManager::resourcePath(const std::string& fileName)
{
    return ":/images/" + QString::fromStdString(fileName);
}

const QPixmap* ImageManager::get(const std::string& fileName)
{
    auto it = images_.find(fileName);
    if (it != images_.end())
        return &it->second;
    if (std::find(names_.begin(), names_.end(), fileName) == names_.end())
        return nullptr;
    QPixmap pixmap;
    if (!pixmap.load(resourcePath(fileName)))
        return nullptr;
    return &images_.emplace(fileName, std::move(pixmap)).first->second;
}

QIcon ImageManager::icon(const std::string& fileName)
{
    if (!get(fileName))
        return QIcon();
    QIcon result;
    QImageReader reader(resourcePath(fileName));
    for (int i = 0; i < std::max(1, reader.imageCount()); ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        QImage image = reader.read();
        if (!image.isNull())
            result.addPixmap(QPixmap::fromImage(image));
    }
    if (result.isNull())
        result.addPixmap(*get(fileName));
    return result;
}

} // namespace qmk::config
