#include "FilePicker.h"

#include "SoundDecoder.h"
#include "SoundPreview.h"
#include "UserText.h"
#include "core/AppDir.h"
#include "core/Dialogs.h"
#include "widgets/ChameleonButton.h"
#include "widgets/StoredColour.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace sylvaro::custom {

namespace {
const QString kImageKey = QStringLiteral("image");
const QString kSoundPattern = QStringLiteral("*.wav*");
const QString kImagePattern = QStringLiteral("*.jpg");
} // namespace

const QString FilePicker::kTitle = QStringLiteral("Select A Custom Sound/Image");

FilePicker::FilePicker(QString key, FilePickerParts parts, QWidget* parent)
    : QDialog(parent), m_key(std::move(key)), m_parts(std::move(parts)) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(kTitle);
    setModal(true);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("File1"));
    m_list->setAccessibleName(forImage() ? tr("Pictures") : tr("Sounds"));
    m_list->setMinimumWidth(220);
    m_previewCaption = new QLabel(QStringLiteral("Image Preview"), this);
    m_previewCaption->setObjectName(QStringLiteral("Label1"));
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setFixedSize(240, 180);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setFrameShape(QFrame::StyledPanel);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lblPickerNote"));
    m_note->setWordWrap(true);

    m_apply = new widgets::ChameleonButton(QStringLiteral("Apply"), this);
    m_apply->setObjectName(QStringLiteral("cmdApply"));
    auto* cancelButton = new widgets::ChameleonButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    auto* add = new QPushButton(tr("Add File\u2026"), this);
    add->setObjectName(QStringLiteral("cmdAddFile"));
    add->setToolTip(forImage() ? tr("Copy a JPEG picture from anywhere into the images folder")
                               : tr("Copy a WAV file from anywhere into the sounds folder"));

    auto* previewColumn = new QVBoxLayout;
    previewColumn->addWidget(m_previewCaption);
    previewColumn->addWidget(m_picture);
    previewColumn->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_list, 1);
    top->addLayout(previewColumn);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addStretch();
    buttons->addWidget(m_apply);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(m_note);
    layout->addLayout(buttons);

    // The preview belongs to pictures; a sound slot shows the caption dimmed.
    m_previewCaption->setEnabled(forImage());
    m_picture->setVisible(forImage());

    // A click or arrow key selects and previews; giving the list focus only
    // marks its first row, and that must not start a sound.
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        m_justSelected = true;
        onClicked(selectedName());
    });
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (!std::exchange(m_justSelected, false)) {
            onClicked(item->text()); // a second click on the same file plays it again
        }
    });
    connect(m_list, &QListWidget::itemActivated, this, [this] { apply(); });
    connect(m_apply, &QAbstractButton::clicked, this, &FilePicker::apply);
    connect(cancelButton, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(add, &QPushButton::clicked, this, &FilePicker::addFile);
    connect(&m_parts.decoder, &SoundDecoder::decoded, this, &FilePicker::onDecoded);

    setAutoFillBackground(true);
    widgets::paintRole(this, QPalette::Window, m_parts.backColour);
    refresh();
}

FilePicker::~FilePicker() {
    if (m_ticket != 0) {
        m_parts.decoder.cancel(m_ticket);
    }
}

bool FilePicker::forImage() const {
    return m_key == kImageKey;
}

QString FilePicker::folder() const {
    return forImage() ? QStringLiteral("images") : QStringLiteral("sounds");
}

QStringList FilePicker::listNames(const core::AppDir& dir, bool images) {
    const QString folderName = images ? QStringLiteral("images") : QStringLiteral("sounds");
    QStringList names;
    for (const QString& path : dir.userFolders(folderName)) {
        // Name filters match without regard to case unless told otherwise.
        const QDir folderDir(path, images ? kImagePattern : kSoundPattern, QDir::NoSort,
                             QDir::Files | QDir::Readable);
        for (const QString& name : folderDir.entryList()) {
            if (!names.contains(name)) {
                names << name;
            }
        }
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QStringList FilePicker::names() const {
    QStringList shown;
    for (int i = 0; i < m_list->count(); ++i) {
        shown << m_list->item(i)->text();
    }
    return shown;
}

void FilePicker::refresh() {
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    m_list->addItems(listNames(m_parts.dir, forImage()));
}

bool FilePicker::select(const QString& name) {
    const QList<QListWidgetItem*> found = m_list->findItems(name, Qt::MatchExactly);
    if (found.isEmpty()) {
        return false;
    }
    if (found.front()->isSelected()) {
        onClicked(name);
    } else {
        m_list->setCurrentItem(found.front());
    }
    return true;
}

void FilePicker::say(const QString& text) {
    m_note->setText(text);
}

void FilePicker::onClicked(const QString& name) {
    say({});
    if (name.isEmpty()) {
        return;
    }
    if (forImage()) {
        previewImage(name);
    } else {
        previewSound(name);
    }
}

void FilePicker::previewSound(const QString& name) {
    m_parts.preview.stop();
    if (m_ticket != 0) {
        m_parts.decoder.cancel(m_ticket);
        m_ticket = 0;
    }
    m_pending = name;
    const QString path = m_parts.dir.userFile(folder(), name);
    if (engine::PcmPtr pcm = m_parts.decoder.cached(path)) {
        onDecoded(0, pcm, {});
        return;
    }
    say(tr("Reading %1\u2026").arg(name));
    m_ticket = m_parts.decoder.request(path);
}

void FilePicker::onDecoded(quint64 ticket, const engine::PcmPtr& pcm, const QString& error) {
    if (ticket != m_ticket) {
        return;
    }
    m_ticket = 0;
    if (!pcm) {
        m_refused.insert(m_pending, error);
        say(tr("%1 cannot be played: %2").arg(m_pending, error));
        return;
    }
    std::string refused;
    if (!m_parts.preview.play(pcm, refused)) {
        say(tr("%1 cannot be played: %2").arg(m_pending, QString::fromStdString(refused)));
        return;
    }
    say({});
}

void FilePicker::previewImage(const QString& name) {
    QImageReader reader(m_parts.dir.userFile(folder(), name));
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        m_picture->clear();
        const QString why = reader.errorString();
        m_refused.insert(name, why);
        say(tr("%1 cannot be shown: %2").arg(name, why));
        return;
    }
    // Scaled to the screen's own pixels, so a dense screen shows it sharp.
    const qreal density = m_picture->devicePixelRatioF();
    QPixmap shown = QPixmap::fromImage(image.scaled((QSizeF(m_picture->size()) * density).toSize(),
                                                    Qt::KeepAspectRatio, Qt::SmoothTransformation));
    shown.setDevicePixelRatio(density);
    m_picture->setPixmap(shown);
}

QString FilePicker::selectedName() const {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->text();
}

void FilePicker::apply() {
    const QString name = selectedName();
    if (!name.isEmpty()) {
        QString why = whyNotFileName(name);
        if (why.isEmpty() && m_refused.contains(name)) {
            why = tr("%1 cannot be used: %2").arg(name, m_refused.value(name));
        }
        if (!why.isEmpty()) {
            say(why);
            return;
        }
    }
    m_chosen = name;
    accept();
}

void FilePicker::addFile() {
    const QString filter = forImage() ? tr("JPEG pictures (*.jpg *.JPG *.jpeg)|*.jpg")
                                      : tr("WAV sounds (*.wav *.WAV *.wave)|*.wav");
    const QString source = m_parts.dialogs.openFileName(
        {filter, QDir::homePath(), {}, forImage() ? tr("Add a picture") : tr("Add a sound")});
    if (source.isEmpty()) {
        return;
    }
    const QFileInfo info(source);
    const QString name = info.fileName();
    const QString pattern = forImage() ? kImagePattern : kSoundPattern;
    if (!QDir::match(pattern, name)) {
        say(forImage() ? tr("%1 is not a JPEG picture (a name ending in .jpg).").arg(name)
                       : tr("%1 is not a WAV sound (a name ending in .wav).").arg(name));
        return;
    }
    const QString why = whyNotFileName(name);
    if (!why.isEmpty()) {
        say(why);
        return;
    }
    const QString target = m_parts.dir.dataFile(folder(), name);
    if (QFileInfo(target).canonicalFilePath() != info.canonicalFilePath()) {
        if (QFileInfo::exists(target)) {
            say(tr("There is already a file called %1 in the %2 folder; rename one of them first.")
                    .arg(name, folder()));
            return;
        }
        QDir().mkpath(m_parts.dir.dataFile(folder()));
        QFile file(source);
        if (!file.copy(target)) {
            say(tr("%1 could not be copied into %2: %3").arg(name, target, file.errorString()));
            return;
        }
    }
    refresh();
    select(name);
}

void FilePicker::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        widgets::paintRole(this, QPalette::Window, m_parts.backColour);
    }
    QDialog::changeEvent(event);
}

void FilePicker::done(int result) {
    // The sound being previewed goes quiet with the picker.
    m_parts.preview.stop();
    QDialog::done(result);
}

} // namespace sylvaro::custom
