#include "SaveOptionsWindow.h"

#include "Desktop.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

namespace sylvaro::recorder {

SaveOptionsWindow::SaveOptionsWindow(QString savedPath, QString savedFolder, Desktop& desktop,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window), m_path(std::move(savedPath)), m_folder(std::move(savedFolder)),
      m_desktop(desktop) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("Save Options"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Your file has been saved to:"), this));
    m_pathLabel = new QLabel(m_path, this);
    m_pathLabel->setObjectName(QStringLiteral("lblPath"));
    m_pathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_pathLabel);
    layout->addWidget(
        new QLabel(QStringLiteral("Please select a choice below and click next:"), this));
    const QString texts[4] = {QStringLiteral("Open The File With Default Media Player"),
                              QStringLiteral("Open The Directory Containing The File"),
                              QStringLiteral("Return To Console"),
                              QStringLiteral("Send An Audio Email")};
    for (int i = 0; i < 4; ++i) {
        m_choices[i] = new QRadioButton(texts[i], this);
        m_choices[i]->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        layout->addWidget(m_choices[i]);
    }
    m_choices[2]->setChecked(true);
    m_next = new QPushButton(QStringLiteral("Next"), this);
    m_next->setObjectName(QStringLiteral("cmdNext"));
    layout->addWidget(m_next);
    connect(m_next, &QPushButton::clicked, this, [this] { next(); });
    // Escape is "Return To Console" without choosing it.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
}

QRadioButton* SaveOptionsWindow::choice(int number) const {
    return number >= 1 && number <= 4 ? m_choices[number - 1] : nullptr;
}

QString SaveOptionsWindow::shownPath() const {
    return m_pathLabel->text();
}

void SaveOptionsWindow::next() {
    if (m_choices[0]->isChecked()) {
        m_desktop.openUrl(QUrl::fromLocalFile(m_path));
        close();
    } else if (m_choices[1]->isChecked()) {
        m_desktop.openUrl(QUrl::fromLocalFile(m_folder));
        close();
    } else if (m_choices[2]->isChecked()) {
        close();
    }
    // "Send An Audio Email" has nothing behind it: the window stays.
}

} // namespace sylvaro::recorder
