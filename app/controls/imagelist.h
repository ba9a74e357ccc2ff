// The images of a grid's picture columns, shared by several grids and owned
// by the form that shows them.
#pragma once

#include <QPixmap>
#include <QSize>
#include <vector>

namespace tessarin {

class TImageList {
  public:
    TImageList() = default;
    explicit TImageList(QSize size) : size_(size) {}

    int Count() const { return static_cast<int>(images_.size()); }
    int Width() const { return size_.width(); }
    int Height() const { return size_.height(); }
    QSize Size() const { return size_; }

    // Appends an image scaled to the list's size; returns its index.
    int Add(const QPixmap &image) {
        images_.push_back(size_.isEmpty() || image.size() == size_ ? image : image.scaled(size_));
        if (size_.isEmpty()) size_ = image.size();
        return Count() - 1;
    }
    // A null pixmap for an index the list does not have.
    QPixmap Image(int index) const {
        return index >= 0 && index < Count() ? images_[static_cast<size_t>(index)] : QPixmap();
    }

  private:
    QSize size_;
    std::vector<QPixmap> images_;
};

}  // namespace tessarin
