#include "CustomPanel.h"

#include "CustomChannels.h"
#include "FilePicker.h"
#include "SoundPreview.h"
#include "UserText.h"
#include "core/AppDir.h"
#include "core/Dialogs.h"
#include "widgets/StoredColour.h"
#include "widgets/TrackSlider.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace sylvaro::custom {

namespace {

constexpr int kFrequencyOff = persist::CustomPanelSettings::kFrequencyOff;

// The slots in the order the panel lists them: label box, picker key.
struct SlotRow {
    int textIndex;
    const char* key;
};
constexpr std::array<SlotRow, 2> kBackgroundRows{{{1, "back1"}, {6, "back2"}}};
// Where a picker key's button sits in m_choose.
int slotIndex(const QString& key) {
    static const QStringList keys{QStringLiteral("back1"), QStringLiteral("back2"),
                                  QStringLiteral("rand1"), QStringLiteral("rand2"),
                                  QStringLiteral("rand3"), QStringLiteral("randp4"),
                                  QStringLiteral("image")};
    return static_cast<int>(keys.indexOf(key));
}

constexpr std::array<SlotRow, 4> kRandomRows{
    {{2, "rand1"}, {3, "rand2"}, {4, "rand3"}, {5, "randp4"}}};

} // namespace

const QString CustomPanel::kTitle = QStringLiteral("Select A Custom File");
const QString CustomPanel::kResetText =
    QStringLiteral(" This will reset all custom selections. Are you sure? ");
const QString CustomPanel::kResetTitle = QStringLiteral("Confirm Reset");
const QString CustomPanel::kNotSet = QStringLiteral("Not Set");

CustomPanel::CustomPanel(CustomPanelParts parts, QWidget* parent)
    : QWidget(parent, Qt::Window), m_parts(std::move(parts)),
      m_preview(std::make_unique<SoundPreview>(m_parts.engine)) {
    setObjectName(QStringLiteral("custom"));
    setWindowTitle(kTitle);

    auto* selectGroup = buildSelectGroup();
    auto* enableGroup = buildEnableGroup();

    auto* imageGroup = new QGroupBox(QStringLiteral("Select Image"), this);
    imageGroup->setObjectName(QStringLiteral("fraImage"));
    auto* chooseImage = new QPushButton(tr("Choose\u2026"), imageGroup);
    chooseImage->setObjectName(QStringLiteral("cmdImage"));
    chooseImage->setAccessibleName(tr("Choose the custom picture"));
    connect(chooseImage, &QPushButton::clicked, this, [this] { choose(QStringLiteral("image")); });
    m_choose[6] = chooseImage;
    auto* imageLayout = new QHBoxLayout(imageGroup);
    imageLayout->addWidget(chooseImage);
    imageLayout->addStretch();

    auto* openSounds = new QPushButton(QStringLiteral("Open Sounds Dir"), this);
    openSounds->setObjectName(QStringLiteral("cmdOpenSounds"));
    auto* openImages = new QPushButton(QStringLiteral("Open Image Dir"), this);
    openImages->setObjectName(QStringLiteral("cmdOpenImages"));
    auto* reset = new QPushButton(QStringLiteral("Custom Reset"), this);
    reset->setObjectName(QStringLiteral("cmdCustomReset"));
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    // The user's own files go to the data folder, which is the program
    // folder too unless the program is installed read-only.
    const auto openFolder = [this](const QString& name) {
        m_parts.openFolder(m_parts.dir.dataFile(name));
    };
    connect(openSounds, &QPushButton::clicked, this,
            [openFolder] { openFolder(QStringLiteral("sounds")); });
    connect(openImages, &QPushButton::clicked, this,
            [openFolder] { openFolder(QStringLiteral("images")); });
    connect(reset, &QPushButton::clicked, this, &CustomPanel::resetAll);
    connect(m_close, &QPushButton::clicked, this, [this] {
        m_closingByButton = true;
        close();
        m_closingByButton = false;
    });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, m_close,
            &QPushButton::click);

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lblCustomNote"));
    m_note->setWordWrap(true);
    connect(&m_parts.channels, &CustomChannels::loadFailed, this, &CustomPanel::say);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(openSounds);
    buttons->addWidget(openImages);
    buttons->addStretch();
    buttons->addWidget(reset);
    buttons->addWidget(m_close);
    auto* columns = new QHBoxLayout;
    columns->addWidget(selectGroup, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(enableGroup);
    right->addWidget(imageGroup);
    right->addStretch();
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(m_note);
    layout->addLayout(buttons);

    setAutoFillBackground(true);
    paintBackground();
}

CustomPanel::~CustomPanel() = default;

QWidget* CustomPanel::buildSelectGroup() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    const auto addGroup = [&](const QString& title, const QString& name, auto rows) {
        auto* group = new QGroupBox(title, box);
        group->setObjectName(name);
        auto* grid = new QGridLayout(group);
        int row = 0;
        for (const SlotRow& slot : rows) {
            auto* edit = new QLineEdit(kNotSet, group);
            edit->setObjectName(QStringLiteral("Text%1").arg(slot.textIndex));
            edit->setMaxLength(120);
            edit->setProperty("accepted", kNotSet);
            const QString key = QString::fromLatin1(slot.key);
            edit->setAccessibleName(tr("Label of %1").arg(key));
            auto* pick = new QPushButton(tr("Choose\u2026"), group);
            pick->setObjectName(QStringLiteral("cmdChoose_%1").arg(key));
            pick->setAccessibleName(tr("Choose the file of %1").arg(key));
            connect(pick, &QPushButton::clicked, this, [this, key] { choose(key); });
            m_choose[static_cast<std::size_t>(slotIndex(key))] = pick;
            const int textIndex = slot.textIndex;
            connect(edit, &QLineEdit::textChanged, this,
                    [this, textIndex](const QString& text) { onLabelEdited(textIndex, text); });
            m_labels[static_cast<std::size_t>(textIndex - 1)] = edit;
            grid->addWidget(edit, row, 0);
            grid->addWidget(pick, row, 1);
            ++row;
        }
        column->addWidget(group);
    };
    addGroup(QStringLiteral("Select Background Sounds"), QStringLiteral("fraSelectBackground"),
             kBackgroundRows);
    addGroup(QStringLiteral("Select Random Sounds"), QStringLiteral("fraSelectRandom"),
             kRandomRows);
    column->addStretch();
    return box;
}

QWidget* CustomPanel::buildEnableGroup() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);

    auto* backgrounds = new QGroupBox(QStringLiteral("Enable Background Sounds"), box);
    backgrounds->setObjectName(QStringLiteral("fraEnableBackground"));
    auto* backgroundColumn = new QVBoxLayout(backgrounds);
    for (int n = 1; n <= 2; ++n) {
        auto* check = new QCheckBox(kNotSet, backgrounds);
        check->setObjectName(QStringLiteral("Check%1").arg(n));
        connect(check, &QCheckBox::toggled, this,
                [this, n](bool on) { m_parts.channels.enableBox(n)->setChecked(on); });
        m_enable[static_cast<std::size_t>(n - 1)] = check;
        backgroundColumn->addWidget(check);
    }

    auto* randoms = new QGroupBox(QStringLiteral("Enable Random Sounds"), box);
    randoms->setObjectName(QStringLiteral("fraEnableRandom"));
    auto* grid = new QGridLayout(randoms);
    auto* often = new QLabel(tr("Often"), randoms);
    auto* off = new QLabel(tr("Off"), randoms);
    grid->addWidget(often, 0, 1, Qt::AlignLeft);
    grid->addWidget(off, 0, 1, Qt::AlignRight);
    for (int n = 1; n <= 4; ++n) {
        auto* name = new QLabel(kNotSet, randoms);
        name->setObjectName(QStringLiteral("lblName%1").arg(n - 1));
        auto* slider = new widgets::TrackSlider(randoms);
        slider->setObjectName(QStringLiteral("HScroll%1").arg(n));
        slider->setRange(0, kFrequencyOff);
        slider->setSingleStep(20);
        slider->setPageStep(350);
        slider->setValue(kFrequencyOff);
        slider->setMinimumWidth(160);
        slider->setAccessibleName(tr("Frequency of custom random sound %1").arg(n));
        name->setBuddy(slider);
        const auto apply = [this, n](int value) { m_parts.channels.setFrequency(n, value); };
        connect(slider, &widgets::TrackSlider::changed, this, apply);
        connect(slider, &widgets::TrackSlider::scrolled, this, apply);
        m_names[static_cast<std::size_t>(n - 1)] = name;
        m_frequency[static_cast<std::size_t>(n - 1)] = slider;
        grid->addWidget(name, n, 0);
        grid->addWidget(slider, n, 1);
    }
    column->addWidget(backgrounds);
    column->addWidget(randoms);
    return box;
}

QLineEdit* CustomPanel::labelBox(int textIndex) const {
    return m_labels[static_cast<std::size_t>(textIndex - 1)];
}

void CustomPanel::onLabelEdited(int textIndex, const QString& text) {
    QLineEdit* edit = labelBox(textIndex);
    const QString why = whyNotLabel(text);
    if (!why.isEmpty()) {
        // Refused where it is typed: the caption keeps its last good text.
        const QString previous = edit->property("accepted").toString();
        say(why);
        edit->setText(previous);
        return;
    }
    edit->setProperty("accepted", text);
    switch (textIndex) {
    case 1:
        enableBox(1)->setText(text);
        break;
    case 6:
        enableBox(2)->setText(text);
        break;
    default:
        nameLabel(textIndex - 2)->setText(text);
        break;
    }
}

void CustomPanel::apply(const persist::CustomPanelSettings& s) {
    enableBox(1)->setChecked(s.enabled[0] == 1);
    enableBox(2)->setChecked(s.enabled[1] == 1);
    labelBox(1)->setText(s.backgroundLabels[0]);
    labelBox(6)->setText(s.backgroundLabels[1]);
    for (int n = 1; n <= 4; ++n) {
        frequencySlider(n)->setValue(s.frequency[static_cast<std::size_t>(n - 1)]);
        // The timers follow the slider even when it already stood there.
        m_parts.channels.setFrequency(n, frequencySlider(n)->value());
    }
    for (int n = 1; n <= 4; ++n) {
        labelBox(n + 1)->setText(s.randomLabels[static_cast<std::size_t>(n - 1)]);
    }
    paintBackground();
}

persist::CustomPanelSettings CustomPanel::capture() const {
    persist::CustomPanelSettings s;
    s.enabled = {enableBox(1)->isChecked() ? 1 : 0, enableBox(2)->isChecked() ? 1 : 0};
    s.backgroundLabels = {labelBox(1)->text(), labelBox(6)->text()};
    for (int n = 1; n <= 4; ++n) {
        s.frequency[static_cast<std::size_t>(n - 1)] = frequencySlider(n)->value();
        s.randomLabels[static_cast<std::size_t>(n - 1)] = labelBox(n + 1)->text();
    }
    return s;
}

void CustomPanel::switchOff() {
    enableBox(1)->setChecked(false);
    enableBox(2)->setChecked(false);
    for (int n = 1; n <= 4; ++n) {
        frequencySlider(n)->setValue(kFrequencyOff);
    }
}

bool CustomPanel::resetAll() {
    const core::MessageRequest request{
        kResetText, kResetTitle, core::MessageButtons::OkCancel, core::MessageIcon::None, {}};
    if (m_parts.dialogs.message(request) != core::MessageAnswer::Ok) {
        return false;
    }
    CustomChannels& channels = m_parts.channels;
    persist::CustomNames cleared;
    cleared.random.fill(QString());
    cleared.background.fill(QString());
    channels.setNames(cleared);
    channels.releaseAll();
    for (QLineEdit* label : m_labels) {
        label->setText(kNotSet);
    }
    switchOff();
    say({});
    return true;
}

void CustomPanel::choose(const QString& key) {
    FilePicker picker(
        key, {m_parts.dir, m_parts.decoder, *m_preview, m_parts.backColour(), m_parts.dialogs},
        this);
    if (m_runPicker) {
        m_runPicker(picker);
    } else {
        picker.exec();
    }
    const std::optional<QString>& chosen = picker.chosen();
    CustomChannels& channels = m_parts.channels;
    if (chosen) {
        if (key == QLatin1String("back1") || key == QLatin1String("back2")) {
            channels.setBackgroundName(key.back().digitValue(), *chosen);
        } else if (key == QLatin1String("image")) {
            channels.setPictureName(*chosen);
        } else {
            channels.setRandomName(key.back().digitValue(), *chosen);
        }
    }
    showFileNames();
    if (key == QLatin1String("image")) {
        // The console shows the picture now; an empty or missing name
        // leaves the one it has.
        const QString& picture = channels.names().picture;
        if (!picture.isEmpty()) {
            m_parts.showPicture(picture);
        }
    }
}

void CustomPanel::showFileNames() {
    const persist::CustomNames& names = m_parts.channels.names();
    const auto describe = [](const std::optional<QString>& name) {
        return name && !name->isEmpty() ? tr("File: %1").arg(*name) : tr("No file chosen");
    };
    for (int n = 0; n < 2; ++n) {
        m_choose[static_cast<std::size_t>(n)]->setToolTip(
            describe(names.background[static_cast<std::size_t>(n)]));
    }
    for (int n = 0; n < 4; ++n) {
        m_choose[static_cast<std::size_t>(2 + n)]->setToolTip(
            describe(names.random[static_cast<std::size_t>(n)]));
    }
    m_choose[6]->setToolTip(describe(names.picture));
}

void CustomPanel::say(const QString& text) {
    m_note->setText(text);
}

void CustomPanel::paintBackground() {
    widgets::paintRole(this, QPalette::Window, m_parts.backColour());
}

void CustomPanel::showEvent(QShowEvent* event) {
    paintBackground();
    showFileNames();
    QWidget::showEvent(event);
}

void CustomPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        paintBackground();
    }
    QWidget::changeEvent(event);
}

void CustomPanel::closeEvent(QCloseEvent* event) {
    m_preview->stop();
    if (!m_closingByButton) {
        Q_EMIT closedByUser();
    }
    QWidget::closeEvent(event);
}

} // namespace sylvaro::custom
