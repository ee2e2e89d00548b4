#include "InformationWindow.h"

#include "core/ProgramTitle.h"
#include "widgets/XpBs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace sylvaro::app {

const QString InformationWindow::kGroup = QStringLiteral("Options");
const QString InformationWindow::kKey = QStringLiteral("Show Tips at Startup");
const QString InformationWindow::kRequirementText =
    QStringLiteral("Please note that Sylvaro Lite requires Directx8.0 or later to run.  This can "
                   "be found on our support page. ");
// The project's own pages; the .example names never lead anywhere else.
const QUrl InformationWindow::kAddOnsUrl(QStringLiteral("https://sylvaro-lite.example/add-ons"));
const QUrl InformationWindow::kWebsiteUrl(QStringLiteral("https://sylvaro-lite.example/"));

const QStringList& InformationWindow::tips() {
    static const QStringList list{
        tr("Click a scene in the Preset Panel - Storm, Night, Coast and the others - to set "
           "the whole mix, the colours and the picture at once."),
        tr("Tick a background sound to start it. The Background slider sets the volume of "
           "every background sound, the Random slider that of every random sound."),
        tr("Each random sound has its own slider: towards Often it comes more often, at Off it "
           "is silent. Button 2 shows the second bank of twenty."),
        tr("Enable Spatial Sounds places each random sound somewhere between your speakers."),
        tr("The two Custom buttons add your own WAV sounds and your own picture."),
        tr("Save keeps the whole console as a mix in the saves folder; Load brings it back."),
        tr("Type a time into the Alarm box and choose Alarm On from the Alarm menu to be woken "
           "by a ringing sound."),
        tr("Record captures whatever your sound card records and saves it as WAV or MP3."),
        tr("Hide leaves only the picture on your desk; the small button in its corner brings "
           "the console back. Drag the console by its background to move it."),
    };
    return list;
}

InformationWindow::InformationWindow(QSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings),
      m_dontShow(new QCheckBox(QStringLiteral("Do not show this dialog again"), this)),
      m_continue(new widgets::XpBs(QStringLiteral("Continue"), this)),
      m_addOns(new widgets::XpBs(QStringLiteral("Preview Add-ons "), this)),
      m_website(new widgets::XpBs(QStringLiteral("Visit Website"), this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(core::kProgramTitle);
    setModal(true);
    m_dontShow->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    m_continue->setObjectName(QStringLiteral("cmdContinue"));
    m_addOns->setObjectName(QStringLiteral("cmdAddOns"));
    m_addOns->setAccessibleName(QStringLiteral("Preview Add-ons"));
    m_website->setObjectName(QStringLiteral("cmdWebsite"));
    // The two page buttons open their address with the desktop's browser.
    m_addOns->setProperty("URL", kAddOnsUrl.toString());
    m_website->setProperty("URL", kWebsiteUrl.toString());

    auto* heading = new QLabel(tr("Did you know..."), this);
    heading->setObjectName(QStringLiteral("lblHeading"));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    heading->setFont(bold);
    auto* text = new QTextBrowser(this);
    text->setObjectName(QStringLiteral("txtTips"));
    text->setAccessibleName(tr("Tips"));
    QString html = QStringLiteral("<ul>");
    for (const QString& tip : tips()) {
        html += QStringLiteral("<li style='margin-bottom:6px'>%1</li>").arg(tip.toHtmlEscaped());
    }
    html += QStringLiteral("</ul>");
    text->setHtml(html);
    text->setFocusPolicy(Qt::NoFocus);
    auto* requirement = new QLabel(kRequirementText, this);
    requirement->setObjectName(QStringLiteral("lblRequirement"));
    requirement->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_dontShow);
    buttons->addStretch();
    buttons->addWidget(m_addOns);
    buttons->addWidget(m_website);
    buttons->addWidget(m_continue);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(text, 1);
    layout->addWidget(requirement);
    layout->addLayout(buttons);
    resize(560, 420);

    m_dontShow->setChecked(false);
    connect(m_dontShow, &QCheckBox::clicked, this, [this](bool ticked) { store(ticked); });
    connect(m_continue, &QAbstractButton::clicked, this, &QDialog::accept);
    m_continue->setFocus();
}

bool InformationWindow::wanted(const QSettings& settings) {
    bool ok = false;
    const int value = settings.value(kGroup + QLatin1Char('/') + kKey, QStringLiteral("1"))
                          .toString()
                          .trimmed()
                          .toInt(&ok);
    return !ok || value != 0;
}

bool InformationWindow::showAtStart(QSettings& settings, QWidget* console) {
    if (!wanted(settings)) {
        return false;
    }
    InformationWindow window(settings, console);
    window.exec();
    // Back to the console - unless it closed meanwhile (the program ending).
    if (console != nullptr && console->isVisible()) {
        console->raise();
        console->activateWindow();
    }
    return true;
}

void InformationWindow::store(bool dontShow) {
    m_settings.setValue(kGroup + QLatin1Char('/') + kKey,
                        dontShow ? QStringLiteral("0") : QStringLiteral("1"));
    m_settings.sync();
}

} // namespace sylvaro::app
