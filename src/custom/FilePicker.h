#pragma once

#include "engine/PcmData.h"

#include <QDialog>
#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

class QLabel;
class QListWidget;
class QPushButton;

namespace sylvaro::core {
class AppDir;
class Dialogs;
} // namespace sylvaro::core

namespace sylvaro::widgets {
class ChameleonButton;
}

namespace sylvaro::custom {

class SoundDecoder;
class SoundPreview;

// What the file picker works with.
struct FilePickerParts {
    const core::AppDir& dir;
    SoundDecoder& decoder;
    SoundPreview& preview;
    std::int32_t backColour;
    // Asks for a file anywhere on the computer ("Add File…").
    core::Dialogs& dialogs;
};

// The modal "Select A Custom Sound/Image" window (`Form4`): lists the WAV
// files of sounds/ or the JPEG pictures of images/ (both roots, bare names
// only), previews a clicked one, copies a file from elsewhere in with "Add
// File…", and hands the chosen name back on "Apply". UI thread only.
class FilePicker : public QDialog {
    Q_OBJECT
public:
    FilePicker(QString key, FilePickerParts parts, QWidget* parent = nullptr);
    ~FilePicker() override;

    const QString& key() const { return m_key; }
    bool forImage() const;
    // The name "Apply" chose (empty when nothing was selected); nullopt
    // after "Cancel" or while the picker is open.
    const std::optional<QString>& chosen() const { return m_chosen; }

    // The bare names the list shows: matching files of both roots, sorted
    // without regard to case, each once.
    static QStringList listNames(const core::AppDir& dir, bool images);
    QStringList names() const;
    // Selects a listed name as a click does (and previews it).
    bool select(const QString& name);
    void apply();
    void addFile();

    QListWidget* list() const { return m_list; }
    QLabel* note() const { return m_note; }
    QLabel* preview() const { return m_picture; }
    QLabel* previewCaption() const { return m_previewCaption; }

    static const QString kTitle;

protected:
    void changeEvent(QEvent* event) override;
    void done(int result) override;

private:
    void refresh();
    void onClicked(const QString& name);
    void previewSound(const QString& name);
    void previewImage(const QString& name);
    void onDecoded(quint64 ticket, const engine::PcmPtr& pcm, const QString& error);
    void say(const QString& text);
    QString folder() const;
    QString selectedName() const;

    QString m_key;
    FilePickerParts m_parts;
    QListWidget* m_list;
    QLabel* m_previewCaption;
    QLabel* m_picture;
    QLabel* m_note;
    widgets::ChameleonButton* m_apply;
    std::optional<QString> m_chosen;
    quint64 m_ticket = 0;
    QString m_pending;
    bool m_justSelected = false;
    // Files found unusable in this picker, with why.
    QHash<QString, QString> m_refused;
};

} // namespace sylvaro::custom
