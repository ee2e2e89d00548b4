#pragma once

#include <QDialog>
#include <QUrl>

class QCheckBox;
class QSettings;

namespace sylvaro::widgets {
class XpBs;
}

namespace sylvaro::app {

// The start-up information window (`Form1`): a few tips for this program,
// the note on what it needs, "Do not show this dialog again" (stored at
// once as "Show Tips at Startup" in the per-user settings) and the buttons
// "Continue", "Preview Add-ons " and "Visit Website". UI thread only.
class InformationWindow : public QDialog {
    Q_OBJECT
public:
    InformationWindow(QSettings& settings, QWidget* parent = nullptr);

    // Whether the window belongs at this start: absent or unreadable
    // counts as yes, only a stored 0 as no.
    static bool wanted(const QSettings& settings);
    // The console's load: shows the window modally when it is wanted.
    // True when it was shown.
    static bool showAtStart(QSettings& settings, QWidget* console);

    QCheckBox* dontShowBox() const { return m_dontShow; }
    widgets::XpBs* continueButton() const { return m_continue; }
    widgets::XpBs* addOnsButton() const { return m_addOns; }
    widgets::XpBs* websiteButton() const { return m_website; }

    static const QString kGroup;
    static const QString kKey;
    static const QString kRequirementText;
    static const QUrl kAddOnsUrl;
    static const QUrl kWebsiteUrl;
    static const QStringList& tips();

private:
    void store(bool dontShow);

    QSettings& m_settings;
    QCheckBox* m_dontShow;
    widgets::XpBs* m_continue;
    widgets::XpBs* m_addOns;
    widgets::XpBs* m_website;
};

} // namespace sylvaro::app
