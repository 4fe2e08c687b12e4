// PngImageCtrl: shows one of the program's PNG pictures at its natural size
// from the control's top-left corner; a smaller control shows the top-left part.
#pragma once

#include <QPixmap>
#include <QWidget>

class PngImageCtrl : public QWidget {
    Q_OBJECT

public:
    explicit PngImageCtrl(QWidget* parent = nullptr);

    // Loads PNG picture n of the program's resources; false (and no picture)
    // when it is missing or cannot be decoded.
    bool LoadPng(int resourceNumber);
    const QPixmap& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};
