#pragma once

#include <QString>

namespace sylvaro::custom {

// What the user types or picks must fit the one-line settings and mix files:
// no double quotes or line breaks (the line format has no escapes) and only
// characters of their code page. Each check returns why the text cannot be
// stored, or an empty text when it can.

// A custom sound or picture name: also a bare name inside its folder.
QString whyNotFileName(const QString& name);
// A caption typed into a label box.
QString whyNotLabel(const QString& label);
// Any other text the user types that the files keep; `what` names it in the
// answer ("The alarm time").
QString whyNotStorable(const QString& text, const QString& what);

} // namespace sylvaro::custom
