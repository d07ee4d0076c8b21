#pragma once

// The image control of the main window: a picture of its own size inside the
// scrolling image area, which the window draws into and which reports the
// mouse position over it.

#include <QImage>
#include <QWidget>

class ImageView final : public QWidget {
  Q_OBJECT
public:
  explicit ImageView(QWidget* parent = nullptr);

  // The picture shown; the control takes its size.
  QImage& Picture() { return picture_; }
  const QImage& Picture() const { return picture_; }
  void SetPicture(QImage picture);
  // Resizes the picture (and the control) and fills it white.
  void Reset(int width, int height);

signals:
  void MouseMoved(int x, int y);

protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

private:
  QImage picture_;
};
