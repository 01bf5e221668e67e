#pragma once
// The picture of the drawing window: the last image drawn with the rubber
// band of a rectangle mode over it, the prompt bar across its top and the
// panels that appear over it. Mouse events go to the window's handlers.

#include <QWidget>

class QLabel;

namespace kestro {

class Tfdessin;

class PictureView : public QWidget {
public:
    explicit PictureView(Tfdessin& owner);
    void set_side(int side);

    QLabel* prompt = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Tfdessin& owner_;
};

// The room beside the panel that the picture grows and shrinks in: the
// picture is the largest square that fits, at the top left. Its size hint
// is the picture's default side, so the window opens with it.
class PictureArea : public QWidget {
public:
    PictureArea(Tfdessin& owner, int default_side);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Tfdessin& owner_;
    int default_side_;
};

// The smallest picture the window shrinks to.
constexpr int MinPictureSide = 256;

} // namespace kestro
