#include "ScriptedDialogs.h"

#include <algorithm>

namespace sylvaro::core {

MessageAnswer ScriptedDialogs::message(const MessageRequest& request) {
    m_messages.push_back(request);
    if (m_whileOpen) {
        m_whileOpen(request);
    }
    if (!m_answers.empty()) {
        const MessageAnswer a = m_answers.front();
        m_answers.pop_front();
        return a;
    }
    switch (request.buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return MessageAnswer::Yes;
    case MessageButtons::Ok:
    case MessageButtons::OkCancel:
        break;
    }
    return MessageAnswer::Ok;
}

std::uint32_t ScriptedDialogs::chooseColour() {
    ++m_colourDialogs;
    if (!m_colours.empty()) {
        m_lastColour = m_colours.front();
        m_colours.pop_front();
    }
    return m_lastColour;
}

QString ScriptedDialogs::openFileName(const FileRequest& request) {
    m_fileRequests.push_back(request);
    if (m_files.empty()) {
        return {};
    }
    QString path = m_files.front();
    m_files.pop_front();
    return path;
}

QString ScriptedDialogs::saveFileName(const FileRequest& request) {
    return openFileName(request);
}

int ScriptedDialogs::count(const QString& text) const {
    return static_cast<int>(std::count_if(m_messages.begin(), m_messages.end(),
                                          [&](const MessageRequest& r) { return r.text == text; }));
}

} // namespace sylvaro::core
