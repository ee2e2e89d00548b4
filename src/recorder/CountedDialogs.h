#pragma once

#include "core/Dialogs.h"

namespace sylvaro::recorder {

// The recorder's dialogs, counted: while one of its own boxes is open, that
// box taking the focus is not another window taking over. UI thread only.
class CountedDialogs final : public core::Dialogs {
public:
    explicit CountedDialogs(core::Dialogs& inner) : m_inner(inner) {}

    bool isOpen() const { return m_open > 0; }

    core::MessageAnswer message(const core::MessageRequest& request) override {
        const Open open(m_open);
        return m_inner.message(request);
    }
    std::uint32_t chooseColour() override {
        const Open open(m_open);
        return m_inner.chooseColour();
    }
    QString openFileName(const core::FileRequest& request) override {
        const Open open(m_open);
        return m_inner.openFileName(request);
    }
    QString saveFileName(const core::FileRequest& request) override {
        const Open open(m_open);
        return m_inner.saveFileName(request);
    }

private:
    struct Open {
        explicit Open(int& count) : m_count(count) { ++m_count; }
        ~Open() { --m_count; }
        Open(const Open&) = delete;
        Open& operator=(const Open&) = delete;
        int& m_count;
    };

    core::Dialogs& m_inner;
    int m_open = 0;
};

} // namespace sylvaro::recorder
