#include "AboutWindow.h"

#include "widgets/ChameleonButton.h"
#include "widgets/StoredColour.h"

#include <QLabel>
#include <QVBoxLayout>

namespace sylvaro::app {

const QString AboutWindow::kTitle = QStringLiteral("Sylvaro Lite V5.5");

AboutWindow::AboutWindow(QWidget* console)
    : QDialog(console), m_console(console),
      m_close(new widgets::ChameleonButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(kTitle);
    setModal(false);
    m_close->setObjectName(QStringLiteral("cmdOK"));

    auto* title = new QLabel(kTitle, this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    title->setFont(big);
    auto* designed = new QLabel(QStringLiteral("Designed and Programmed by:"), this);
    designed->setObjectName(QStringLiteral("lblDesigned"));
    auto* makers = new QLabel(tr("The Sylvaro Lite developers\n"
                                 "Sounds and pictures made by the program's own generator"),
                              this);
    makers->setObjectName(QStringLiteral("lblMakers"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(10);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(designed, 0, Qt::AlignHCenter);
    layout->addWidget(makers, 0, Qt::AlignHCenter);
    layout->addSpacing(8);
    layout->addWidget(m_close, 0, Qt::AlignHCenter);

    // The button, or Escape, closes the window and brings the console up.
    connect(m_close, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(this, &QDialog::finished, this, [this] {
        if (m_console != nullptr) {
            m_console->show();
            m_console->raise();
            m_console->activateWindow();
        }
    });
}

void AboutWindow::setBackColour(std::int32_t stored) {
    setAutoFillBackground(true);
    widgets::paintRole(this, QPalette::Window, stored);
}

} // namespace sylvaro::app
