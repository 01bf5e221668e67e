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

} // namespace kestro
