// CButtonST: the flat icon button of every refresh and write button and of
// Select. At rest it shows only its icon and caption; while the pointer is over
// it a raised 1-pixel border appears, while pressed a sunken one, and the icon
// and caption move one pixel right and down.
#pragma once

#include <QPixmap>
#include <QPushButton>

class CButtonST : public QPushButton {
    Q_OBJECT

public:
    explicit CButtonST(QWidget* parent = nullptr);

    // Replaces the icon (the same picture serves the pressed and the released
    // state) and repaints at once. A null pixmap leaves the button without one.
    void AssignIcon(const QPixmap& icon);
    // The flat owner-drawn look, or the platform's ordinary push button.
    void SetFlatLook(bool flat);

    bool FlatLook() const { return flatLook_; }
    bool PointerInside() const { return pointerInside_; }
    const QPixmap& Icon() const { return icon_; }
    // Where paintEvent puts the icon for the current state; empty without one.
    QRect IconRect() const;

    // Fixed settings of the flat look, as the window uses them.
    static constexpr bool HoverBorder = true;
    static constexpr bool CaptionShown = true;
    static constexpr int IconPlacement = 0;  // icon left of the caption

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetPointerInside(bool inside);

    QPixmap icon_;
    bool flatLook_ = true;
    bool pointerInside_ = false;
};
