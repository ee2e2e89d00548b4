#include "Mnemonics.h"

#include <QAction>
#include <QSet>
#include <QWidget>

namespace sylvaro::widgets {

namespace {

// The mnemonic letter of `text`, lower case, or a null character.
QChar mnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&') {
            if (text[i + 1].isLetterOrNumber()) {
                return text[i + 1].toLower();
            }
            ++i; // "&&" is a shown ampersand
        }
    }
    return {};
}

// Where the mnemonic goes: a word's first letter first, then any letter.
qsizetype pick(const QString& text, const QSet<QChar>& used) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool wordStart = i == 0 || !text[i - 1].isLetterOrNumber();
        if (wordStart && text[i].isLetter() && !used.contains(text[i].toLower())) {
            return i;
        }
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isLetter() && !used.contains(text[i].toLower())) {
            return i;
        }
    }
    return -1;
}

} // namespace

void giveMnemonics(QWidget* menu) {
    QSet<QChar> used;
    for (const QAction* action : menu->actions()) {
        const QChar letter = mnemonicOf(action->text());
        if (!letter.isNull()) {
            used.insert(letter);
        }
    }
    for (QAction* action : menu->actions()) {
        const QString text = action->text();
        if (action->isSeparator() || text.isEmpty() || !mnemonicOf(text).isNull()) {
            continue;
        }
        const qsizetype at = pick(text, used);
        if (at < 0) {
            continue;
        }
        used.insert(text[at].toLower());
        action->setText(QString(text).insert(at, u'&'));
    }
}

} // namespace sylvaro::widgets
