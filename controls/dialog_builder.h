// Creates the controls of a dialog template inside a window, at the pixel
// positions its dialog units give in the dialog font.
#pragma once

#include <QHash>
#include <QWidget>
#include <vector>

#include "dialog_template.h"

class DialogControls {
public:
    // The control of a given id, nullptr when the template has none.
    QWidget* Control(int id) const { return byId_.value(id, nullptr); }
    template <class T>
    T* As(int id) const {
        return qobject_cast<T*>(Control(id));
    }
    const QHash<int, QWidget*>& ById() const { return byId_; }
    // Every control, in template order (so in drawing order).
    const std::vector<QWidget*>& All() const { return all_; }

private:
    friend DialogControls BuildDialog(QWidget*, const DialogTemplate&);
    QHash<int, QWidget*> byId_;
    std::vector<QWidget*> all_;
};

// Gives `window` the template's font, fixed size and caption, and creates its
// controls as children of `window`:
//   group -> GroupFrame, label -> QLabel, edit -> TavEdit, combo -> TavCombo,
//   flatbutton -> CButtonST, button -> QPushButton, picture -> PngImageCtrl,
//   radio -> QRadioButton, icon -> QLabel showing the icon.
// Value fields get their look from the options (ro, rw, plain, green, right).
DialogControls BuildDialog(QWidget* window, const DialogTemplate& layout);
