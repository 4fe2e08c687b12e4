// GroupFrame: a group box drawn the way dialog templates draw them - an
// etched frame whose top line runs through the middle of the caption, the
// caption a little in from the left corner.
#pragma once

#include <QGroupBox>

class GroupFrame : public QGroupBox {
    Q_OBJECT

public:
    explicit GroupFrame(const QString& caption, QWidget* parent = nullptr);

    // Distance in pixels from the frame's left edge to the caption.
    void SetCaptionIndent(int pixels);
    // Where the caption's text is drawn, in the frame's coordinates.
    QRect CaptionRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int captionIndent_ = 8;
};
