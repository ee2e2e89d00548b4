#pragma once

#include <QLabel>

namespace sylvaro::widgets {

// A bold caption above a group of controls. Headings keep their own light
// text on a dark chip, readable on whatever colour the console is given.
inline QLabel* makeHeading(const QString& text, const QString& objectName, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setStyleSheet(
        QStringLiteral("QLabel { color: white; background: rgba(0, 0, 0, 120); border-radius: 4px;"
                       " padding: 1px 6px; }"));
    label->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    return label;
}

} // namespace sylvaro::widgets
