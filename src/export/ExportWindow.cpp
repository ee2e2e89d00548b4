#include "ExportWindow.h"

#include "core/Dialogs.h"
#include "core/ProgramTitle.h"
#include "recorder/Mp3Encoder.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>
#include <random>

namespace sylvaro::exporting {

const QString ExportWindow::kTitle = QStringLiteral("Export Soundscape");
const QString ExportWindow::kFailedText = QStringLiteral("The soundscape could not be exported.");

namespace {

struct FormatChoice {
    exporting::ExportFormat format;
    const char* caption;
    const char* filter;
};

constexpr FormatChoice kFormats[] = {
    {exporting::ExportFormat::Wav, "WAV, 16-bit", "WAV Files (*.wav)| *.wav"},
    {exporting::ExportFormat::Flac, "FLAC, 16-bit (smaller, lossless)",
     "FLAC Files (*.flac)| *.flac"},
    {exporting::ExportFormat::Mp3, "MP3 (smallest)", "MP3 Files (*.mp3)| *.mp3"},
};

// How long one slice may hold the event loop: the console's own timers and
// the window stay responsive while an export runs.
constexpr qint64 kSliceMs = 30;
constexpr int kPieceFrames = OfflineConsole::kSampleRate / 4;

QString minutesText(int minutes) {
    return minutes == 1 ? QStringLiteral("1 minute") : QStringLiteral("%1 minutes").arg(minutes);
}

} // namespace

ExportWindow::ExportWindow(const core::AppDir& dir, core::Dialogs& dialogs,
                           std::function<persist::MixFile()> capture, QWidget* parent)
    : QDialog(parent), m_dir(dir), m_dialogs(dialogs), m_capture(std::move(capture)),
      m_lame(recorder::findEncoder(dir.path())), m_minutes(new QSpinBox(this)),
      m_format(new QComboBox(this)), m_progress(new QProgressBar(this)), m_status(new QLabel(this)),
      m_export(new QPushButton(tr("Export…"), this)), m_cancel(new QPushButton(tr("Close"), this)) {
    setObjectName(QStringLiteral("ExportWindow"));
    setWindowTitle(kTitle);
    m_minutes->setObjectName(QStringLiteral("spnMinutes"));
    m_minutes->setRange(ExportJob::kMinMinutes, ExportJob::kMaxMinutes);
    m_minutes->setValue(ExportJob::kDefaultMinutes);
    m_minutes->setSuffix(tr(" minutes"));
    m_minutes->setAccessibleName(tr("Length in minutes"));
    m_format->setObjectName(QStringLiteral("cboFormat"));
    m_format->setAccessibleName(tr("Format"));
    for (const FormatChoice& choice : kFormats) {
        m_format->addItem(QString::fromUtf8(choice.caption));
    }
    if (m_lame.isEmpty()) {
        // MP3 needs the encoder; say why the entry cannot be chosen.
        auto* model = qobject_cast<QStandardItemModel*>(m_format->model());
        QStandardItem* mp3 = model->item(2);
        mp3->setEnabled(false);
        mp3->setText(tr("MP3 (needs the \"lame\" encoder)"));
    }
    m_progress->setObjectName(QStringLiteral("prgExport"));
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_status->setObjectName(QStringLiteral("lblExportStatus"));
    m_status->setWordWrap(true);
    m_export->setObjectName(QStringLiteral("cmdExport"));
    m_export->setDefault(true);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* about = new QLabel(
        tr("The file holds what the console plays now — its backgrounds, random sounds and "
           "custom sounds at their volumes — for as long as you choose. The console goes on "
           "playing while the file is made."),
        this);
    about->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(tr("&Length:"), m_minutes);
    form->addRow(tr("&Format:"), m_format);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_export);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addLayout(form);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, &ExportWindow::renderSlice);
    connect(m_export, &QPushButton::clicked, this, &ExportWindow::startExport);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (isRunning()) {
            cancelExport();
        } else {
            hide();
        }
    });
    showRunning(false);
    m_progress->hide();
}

ExportWindow::~ExportWindow() {
    cancelExport();
}

exporting::ExportFormat ExportWindow::chosenFormat() const {
    const int index = std::clamp(m_format->currentIndex(), 0, 2);
    return kFormats[index].format;
}

bool ExportWindow::startExport() {
    if (isRunning()) {
        return false;
    }
    const exporting::ExportFormat format = chosenFormat();
    const QString extension = exporting::extensionOf(format);
    if (m_lastFolder.isEmpty()) {
        const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
        m_lastFolder = QFileInfo(music).isDir() ? music : QDir::homePath();
    }
    QString target =
        m_dialogs.saveFileName({QString::fromUtf8(kFormats[m_format->currentIndex()].filter),
                                m_lastFolder, QStringLiteral("soundscape") + extension, kTitle});
    if (target.isEmpty()) {
        return false;
    }
    if (!target.endsWith(extension, Qt::CaseInsensitive)) {
        target += extension;
    }
    m_lastFolder = QFileInfo(target).absolutePath();

    ExportJob job;
    job.source.kind = SoundscapeSource::Kind::Mix;
    job.source.mix = m_capture();
    job.minutes = m_minutes->value();
    job.seed = m_nextSeed ? *std::exchange(m_nextSeed, std::nullopt) : std::random_device{}();
    job.target = target;
    job.format = format;
    job.lame = m_lame;
    m_lastSeed = job.seed;

    m_status->setText(tr("Preparing the sounds…"));
    m_progress->setValue(0);
    m_progress->show();
    showRunning(true);
    m_run = std::make_unique<SoundscapeExport>(m_dir);
    QString error;
    if (!m_run->start(job, error)) {
        finishExport(SoundscapeExport::State::Failed, error);
        return false;
    }
    m_status->setText(tr("Making %1 of soundscape in %2…")
                          .arg(minutesText(job.minutes), QDir::toNativeSeparators(target)));
    fitContents();
    m_slices.start();
    return true;
}

void ExportWindow::renderSlice() {
    if (!isRunning()) {
        m_slices.stop();
        return;
    }
    QElapsedTimer slice;
    slice.start();
    QString error;
    SoundscapeExport::State state = SoundscapeExport::State::Running;
    do {
        state = m_run->advance(kPieceFrames, error);
    } while (state == SoundscapeExport::State::Running && slice.elapsed() < kSliceMs);
    m_progress->setValue(static_cast<int>(m_run->framesDone() * 1000 / m_run->framesTotal()));
    if (state != SoundscapeExport::State::Running) {
        finishExport(state, error);
    }
}

void ExportWindow::cancelExport() {
    if (!isRunning()) {
        return;
    }
    m_run->cancel();
    finishExport(SoundscapeExport::State::Cancelled, {});
}

bool ExportWindow::isRunning() const {
    return m_run && m_run->state() == SoundscapeExport::State::Running;
}

void ExportWindow::finishExport(SoundscapeExport::State state, const QString& error) {
    m_slices.stop();
    showRunning(false);
    const ExportJob job = m_run->job();
    const QStringList notes = m_run->notes();
    m_run.reset();
    const QString target = QDir::toNativeSeparators(job.target);
    switch (state) {
    case SoundscapeExport::State::Done:
        m_progress->setValue(m_progress->maximum());
        m_status->setText(
            tr("Exported %1 to %2 (seed %3).").arg(minutesText(job.minutes), target).arg(job.seed));
        break;
    case SoundscapeExport::State::Cancelled:
        m_progress->hide();
        m_status->setText(tr("Cancelled: %1 was not written.").arg(target));
        break;
    default:
        m_progress->hide();
        m_status->setText(tr("Not exported."));
        fitContents();
        m_dialogs.message({kFailedText, core::kProgramTitle, core::MessageButtons::Ok,
                           core::MessageIcon::Warning,
                           QStringLiteral("%1: %2").arg(target, error)});
        return;
    }
    if (state == SoundscapeExport::State::Done && !notes.isEmpty()) {
        m_status->setText(m_status->text() + QLatin1Char('\n') + notes.join(QLatin1Char('\n')));
    }
    fitContents();
}

void ExportWindow::fitContents() {
    // Grows to show the progress bar and a longer status line whole; the
    // window never shrinks under the user's hand.
    int height = sizeHint().height();
    if (layout()->hasHeightForWidth()) {
        height = std::max(height, layout()->totalHeightForWidth(width()));
    }
    if (height > this->height()) {
        resize(width(), height);
    }
}

void ExportWindow::showRunning(bool running) {
    m_minutes->setEnabled(!running);
    m_format->setEnabled(!running);
    m_export->setEnabled(!running);
    m_cancel->setText(running ? tr("Cancel") : tr("Close"));
}

void ExportWindow::closeEvent(QCloseEvent* event) {
    cancelExport();
    QDialog::closeEvent(event);
}

void ExportWindow::reject() {
    // Escape and the window's close button stop a running export.
    cancelExport();
    QDialog::reject();
}

} // namespace sylvaro::exporting
