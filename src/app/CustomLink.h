#pragma once

#include "persist/CustomPanelSettings.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QPushButton;
class QWidget;

namespace sylvaro::core {
class Dialogs;
}
namespace sylvaro::custom {
class CustomChannels;
class CustomPanel;
} // namespace sylvaro::custom

namespace sylvaro::app {

class SettingsFiles;

// The custom panel as the console uses it: its two "Custom" buttons, its
// loading from settingsc.ini at start-up or on first reference, the console's
// switch-off, the custom-missing message after a set-up, and the writing of
// settingsc.ini when the panel unloads. UI thread only.
class CustomLink : public QObject {
    Q_OBJECT
public:
    CustomLink(custom::CustomChannels& channels, std::unique_ptr<custom::CustomPanel> panel,
               SettingsFiles& files, core::Dialogs& dialogs, QWidget* buttonParent);
    ~CustomLink() override;

    // The panel, loaded first if nothing has referred to it yet.
    custom::CustomPanel& panel();
    bool isLoaded() const { return m_loaded; }
    // Shows the panel without blocking the console ("Custom").
    void show();
    // The console's switch-off of the custom channels (scenes, bank "1").
    void switchOff();
    // Start-up: the panel loads and the six custom slots are set up; the
    // custom-missing message follows if a file could not be loaded.
    void startUp();
    // The six custom slots made afresh from their names (a mix was loaded);
    // `missingText` tells of the files that could not be loaded.
    void setUp(const QString& missingText);
    // The panel's selections; none while it has not loaded.
    std::optional<persist::CustomPanelSettings> selections() const;

    void hidePanel();
    // The console's colours changed: a loaded panel copies its background.
    void followLook();

    QPushButton* backgroundButton() const { return m_backgroundButton; }
    QPushButton* randomButton() const { return m_randomButton; }
    // The console's load has read the custom names: from here on the two
    // "Custom" buttons open the panel.
    void enableButtons();

    static const QString kMissingText;
    static const QString kMixMissingText;

private:
    void load();
    void onSetUpEnded(const QStringList& failures);
    void onClosedByUser();

    custom::CustomChannels& m_channels;
    std::unique_ptr<custom::CustomPanel> m_panel;
    SettingsFiles& m_files;
    core::Dialogs& m_dialogs;
    QPushButton* m_backgroundButton;
    QPushButton* m_randomButton;
    bool m_loaded = false;
    // The message for files the running set-up cannot load; empty when none
    // is running.
    QString m_missingText;
};

} // namespace sylvaro::app
