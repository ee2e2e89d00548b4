#pragma once

class QWidget;

namespace sylvaro::widgets {

// Gives every entry of `menu` (a menu or a menu bar) that has none a keyboard mnemonic (the letter
// Alt or the open menu's key press chooses): the first letter of a word that
// no other entry of the menu uses yet, else any unused letter. The shown
// words stay as they are; only the underline is added. Entries that already
// have one keep it, so calling it again, as entries are added, is safe.
void giveMnemonics(QWidget* menu);

} // namespace sylvaro::widgets
