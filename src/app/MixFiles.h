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
class CustomLink;

// User mixes: "Save" writes the whole console to a .svm file the user names
// in saves/, "Load" reads one back. A file is checked whole before anything
// changes; a mix is then applied control by control in its own order, so
// every control's own handler runs as if the user had set it. UI thread only.
class MixFiles : public QObject {
    Q_OBJECT
public:
    MixFiles(const core::AppDir& dir, core::Dialogs& dialogs, ConsoleState& state,
             CustomLink& custom, QObject* parent = nullptr);

    // "Save": asks for a file; false when cancelled or not written.
    bool save();
    bool saveTo(const QString& path);
    // "Load": asks for a file; false when cancelled or not a mix.
    bool load();
    // Loads a mix file; a file that is not one is reported and changes
    // nothing.
    bool loadFrom(const QString& path);

    persist::MixFile capture() const;
    void apply(const persist::MixFile& mix);

    QString savesFolder() const;

Q_SIGNALS:
    // A mix has been applied to the console.
    void applied();

public:
    static const QString kFilter;
    static const QString kNotSavedText;
    static const QString kNotAMixText;

private:
    const core::AppDir& m_dir;
    core::Dialogs& m_dialogs;
    ConsoleState& m_state;
    CustomLink& m_custom;
};

} // namespace sylvaro::app
