#pragma once

#include "persist/MixFile.h"

#include <QObject>
#include <QString>

namespace sylvaro::core {
class AppDir;
class Dialogs;
} // namespace sylvaro::core

namespace sylvaro::app {

class ConsoleState;

// User mixes: "Save" writes the whole console to a .svm file the user names
// in saves/, "Load" reads one back. A file is checked whole before anything
// changes; the console's state then applies it. UI thread only.
class MixFiles : public QObject {
    Q_OBJECT
public:
    MixFiles(const core::AppDir& dir, core::Dialogs& dialogs, ConsoleState& state,
             QObject* parent = nullptr);

    // "Save": asks for a file; false when cancelled or not written.
    bool save();
    bool saveTo(const QString& path);
    // "Load": asks for a file; false when cancelled or not a mix.
    bool load();
    // Loads a mix file; a file that is not one is reported and changes
    // nothing.
    bool loadFrom(const QString& path);

    QString savesFolder() const;

Q_SIGNALS:
    // A mix file has been applied to the console.
    void applied();

public:
    static const QString kFilter;
    static const QString kNotSavedText;
    static const QString kNotAMixText;

private:
    const core::AppDir& m_dir;
    core::Dialogs& m_dialogs;
    ConsoleState& m_state;
};

} // namespace sylvaro::app
