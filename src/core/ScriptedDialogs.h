#pragma once

#include "Dialogs.h"

#include <deque>
#include <functional>
#include <vector>

namespace sylvaro::core {

// Dialogs for tests: records every request and answers from a script. With
// the script empty a message is answered with its first button (OK or Yes).
// `whileOpen` runs while a box is "open" - e.g. advancing virtual time.
class ScriptedDialogs final : public Dialogs {
public:
    MessageAnswer message(const MessageRequest& request) override;

    void answerNext(MessageAnswer answer) { m_answers.push_back(answer); }

    // The next colour dialog picks `rgb`; with none scripted it is cancelled.
    std::uint32_t chooseColour() override;
    void pickColourNext(std::uint32_t rgb) { m_colours.push_back(rgb); }
    int colourDialogs() const { return m_colourDialogs; }

    // File dialogs answer from their own script, in order, open and save
    // alike; an empty answer (or none scripted) is a cancel.
    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
    void chooseFileNext(const QString& path) { m_files.push_back(path); }
    const std::vector<FileRequest>& fileRequests() const { return m_fileRequests; }
    void setWhileOpen(std::function<void(const MessageRequest&)> hook) {
        m_whileOpen = std::move(hook);
    }

    const std::vector<MessageRequest>& messages() const { return m_messages; }
    int count(const QString& text) const;
    void clear() { m_messages.clear(); }

private:
    std::deque<MessageAnswer> m_answers;
    std::vector<MessageRequest> m_messages;
    std::deque<std::uint32_t> m_colours;
    std::deque<QString> m_files;
    std::vector<FileRequest> m_fileRequests;
    std::uint32_t m_lastColour = 0;
    int m_colourDialogs = 0;
    std::function<void(const MessageRequest&)> m_whileOpen;
};

} // namespace sylvaro::core
