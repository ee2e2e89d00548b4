#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace sylvaro::panels {

// "Enable Console" and the list of output devices, both hidden once
// start-up runs, and a quiet note that says when sound was lost and is
// being looked for. UI thread only.
class DevicePanel : public QWidget {
    Q_OBJECT
public:
    explicit DevicePanel(QWidget* parent = nullptr);

    QPushButton* enableButton() const { return m_enable; }
    QListWidget* list() const { return m_list; }
    QLabel* note() const { return m_note; }

    // Lists the devices and selects the first: the user never chooses.
    void showDevices(const std::vector<std::string>& devices);
    int selectedDevice() const;
    void hideChoice();
    // An empty text hides the note.
    void setNote(const QString& text);

Q_SIGNALS:
    void enableRequested();

private:
    QPushButton* m_enable;
    QListWidget* m_list;
    QLabel* m_note;
};

} // namespace sylvaro::panels
