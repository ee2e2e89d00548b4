#pragma once

#include <QLabel>

namespace sylvaro::widgets {

// A bold caption above a group of controls.
inline QLabel* makeHeading(const QString& text, const QString& objectName, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace sylvaro::widgets
