#pragma once

#include <QString>
#include <cstdint>

namespace sylvaro::core {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// One modal message box: the fixed text and title, the buttons and icon, and
// optional detail text (the real cause, when it helps the user).
struct MessageRequest {
    QString text;
    QString title;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    QString detail;
};

// One file dialog. `filter` is written as description|pattern pairs joined
// by '|' ("Wav File (*.wav)| *.wav"); `folder` is where it opens and
// `fileName` the name it proposes.
struct FileRequest {
    QString filter;
    QString folder;
    QString fileName;
    QString title;
};

// Every modal question the program asks goes through here, so tests can
// script the answers. Production shows Qt dialogs; the call blocks the
// handler that makes it while timers keep firing.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer message(const MessageRequest& request) = 0;
    // The colour dialog. Reports the last colour chosen (#RRGGBB), black
    // before any, also when the user cancels.
    virtual std::uint32_t chooseColour() = 0;
    // The open and save dialogs: the full path chosen, empty when cancelled.
    // The save dialog asks before a chosen file is replaced.
    virtual QString openFileName(const FileRequest& request) = 0;
    virtual QString saveFileName(const FileRequest& request) = 0;
};

} // namespace sylvaro::core
