#pragma once

#include "SoundscapeExport.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace sylvaro::core {
class Dialogs;
}

namespace sylvaro::exporting {

// "Export Soundscape": a length and a format, then a file; the console's
// current mix is rendered into it while the console goes on playing, with
// progress and Cancel. Rendering runs in short slices on the event loop.
// UI thread only.
class ExportWindow : public QDialog {
    Q_OBJECT
public:
    // `capture` takes the console's mix as it is when the export starts.
    ExportWindow(const core::AppDir& dir, core::Dialogs& dialogs,
                 std::function<persist::MixFile()> capture, QWidget* parent = nullptr);
    ~ExportWindow() override;

    // Asks for the file and starts; false when the user cancelled or the
    // export could not start (said in a message).
    bool startExport();
    void cancelExport();
    bool isRunning() const;
    // Renders one slice; the event loop calls it while an export runs.
    void renderSlice();
    // The seed of the last export; a fixed one for the next (tests, and
    // anyone who wants an export again exactly).
    std::uint32_t lastSeed() const { return m_lastSeed; }
    void setNextSeed(std::uint32_t seed) { m_nextSeed = seed; }

    QSpinBox* minutesBox() const { return m_minutes; }
    QComboBox* formatBox() const { return m_format; }
    QProgressBar* progressBar() const { return m_progress; }
    QLabel* statusLabel() const { return m_status; }
    QPushButton* exportButton() const { return m_export; }
    QPushButton* cancelButton() const { return m_cancel; }

    static const QString kTitle;
    static const QString kFailedText;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    exporting::ExportFormat chosenFormat() const;
    void showRunning(bool running);
    void fitContents();
    void finishExport(SoundscapeExport::State state, const QString& error);

    core::AppDir m_dir;
    core::Dialogs& m_dialogs;
    std::function<persist::MixFile()> m_capture;
    QString m_lame;
    std::unique_ptr<SoundscapeExport> m_run;
    QTimer m_slices;
    std::uint32_t m_lastSeed = 0;
    std::optional<std::uint32_t> m_nextSeed;
    QString m_lastFolder;

    QSpinBox* m_minutes;
    QComboBox* m_format;
    QProgressBar* m_progress;
    QLabel* m_status;
    QPushButton* m_export;
    QPushButton* m_cancel;
};

} // namespace sylvaro::exporting
