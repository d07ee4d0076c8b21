#pragma once

// A picture stretched into a control of fixed size: the live picture and the
// small report pictures of the station windows.

#include <QImage>
#include <QWidget>

#include "base/bitmap.h"

class PictureBox final : public QWidget {
  Q_OBJECT
public:
  PictureBox(int width, int height, QWidget* parent = nullptr);

  // Keeps a copy of `picture`.
  void SetPicture(const Bitmap& picture);
  const QImage& Picture() const { return picture_; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QImage picture_;
};
