#include "png_image_ctrl.h"

#include <QPainter>

#include "resource_images.h"
#include "tav_colors.h"

PngImageCtrl::PngImageCtrl(QWidget* parent) : QWidget(parent) {
    // What the picture does not cover shows the button face.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, TavColors::ButtonFace());
    setPalette(pal);
    setAutoFillBackground(true);
}

bool PngImageCtrl::LoadPng(int resourceNumber) {
    picture_ = LoadPngResource(resourceNumber);
    update();
    return !picture_.isNull();
}

void PngImageCtrl::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    // One picture pixel per device pixel, whatever the screen's scale.
    QPixmap shown = picture_;
    shown.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), shown);
}
