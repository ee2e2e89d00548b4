#pragma once

#include "core/Dialogs.h"

class QWidget;

namespace sylvaro::widgets {

// The production dialogs: Qt message boxes with the program's exact texts,
// titles, buttons and icons, modal to the given parent. UI thread only.
class QtDialogs final : public core::Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    core::MessageAnswer message(const core::MessageRequest& request) override;
    std::uint32_t chooseColour() override;
    QString openFileName(const core::FileRequest& request) override;
    QString saveFileName(const core::FileRequest& request) override;

    // "Wav File (*.wav)| *.wav|..." as Qt's "Wav File (*.wav);;...".
    static QString toQtFilter(const QString& filter);

private:
    QWidget* m_parent;
    std::uint32_t m_lastColour = 0; // black until the user picks one
};

} // namespace sylvaro::widgets
