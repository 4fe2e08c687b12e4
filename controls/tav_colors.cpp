#include "tav_colors.h"

#include <QWidget>

namespace TavColors {

void ApplyFieldColors(QWidget* field, const QColor& background, const QColor& text) {
    QPalette pal = field->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Base, background);
        pal.setColor(group, QPalette::Text, text);
    }
    pal.setColor(QPalette::Disabled, QPalette::Base, ButtonFace());
    field->setPalette(pal);
    field->update();
}

}  // namespace TavColors
