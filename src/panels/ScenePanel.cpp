#include "ScenePanel.h"

#include "core/AppDir.h"
#include "core/Text.h"
#include "widgets/Heading.h"

#include <QGridLayout>
#include <QPushButton>
#include <QToolButton>

namespace sylvaro::panels {

namespace {
constexpr int kColumns = 4;
}

ScenePanel::ScenePanel(const core::AppDir& dir, QWidget* parent)
    : QWidget(parent), m_reset(new QPushButton(QStringLiteral("Reset"), parent)) {
    setObjectName(QStringLiteral("scenePanel"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    grid->addWidget(
        widgets::makeHeading(QStringLiteral("Preset Panel"), QStringLiteral("lblPresets"), this), 0,
        0, 1, kColumns);
    for (int i = 0; i < static_cast<int>(scenes::kGridOrder.size()); ++i) {
        const scenes::Scene* scene = scenes::atGrid(i);
        auto* b = new QToolButton(this);
        const QString caption = core::toQString(scene->caption);
        b->setObjectName(QStringLiteral("cmdScene") + caption);
        b->setText(caption);
        b->setIcon(
            QIcon(dir.file(QStringLiteral("resources/icons"), core::toQString(scene->icon()))));
        b->setIconSize(QSize(48, 36));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(false);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        connect(b, &QToolButton::clicked, this, [this, scene] { Q_EMIT sceneChosen(scene); });
        grid->addWidget(b, 1 + i / kColumns, i % kColumns);
        m_buttons.push_back(b);
    }
    m_reset->setObjectName(QStringLiteral("cmdReset"));
    m_reset->setToolTip(QStringLiteral("Clear All Random Sounds"));
    connect(m_reset, &QPushButton::clicked, this, [this] { Q_EMIT resetRequested(); });
    setStarted(false);
}

QToolButton* ScenePanel::button(const scenes::Scene* scene) const {
    const int at = scenes::gridIndex(scene);
    return at < 0 ? nullptr : m_buttons[static_cast<std::size_t>(at)];
}

QToolButton* ScenePanel::button(std::string_view caption) const {
    return button(scenes::find(caption));
}

void ScenePanel::setStarted(bool started) {
    for (QToolButton* b : m_buttons) {
        b->setEnabled(started);
    }
    m_reset->setEnabled(started);
    if (started) {
        m_reset->setVisible(true);
    }
}

} // namespace sylvaro::panels
