#include "ConsoleFixture.h"
#include "app/AboutWindow.h"
#include "app/ConsoleShell.h"
#include "app/InformationWindow.h"
#include "app/RecorderLink.h"
#include "recorder/RecorderWindow.h"
#include "widgets/ChameleonButton.h"
#include "widgets/SkinnedButton.h"
#include "widgets/StoredColour.h"
#include "widgets/XpBs.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace sylvaro::test {
namespace {

// The information window and its one stored setting, on a settings file of
// the test's own.
class InformationTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<QSettings> settings;

    // A new run reads the file afresh.
    QSettings& nextStart() {
        settings = std::make_unique<QSettings>(dir.filePath(QStringLiteral("user.conf")),
                                               QSettings::IniFormat);
        return *settings;
    }
    QString stored() const {
        return QSettings(dir.filePath(QStringLiteral("user.conf")), QSettings::IniFormat)
            .value(QStringLiteral("Options/Show Tips at Startup"))
            .toString();
    }
};

TEST_F(InformationTest, TheBoxDecidesTheNextStartOverThreeStarts) {
    // First start: nothing stored, so the window comes with the box clear.
    ASSERT_TRUE(app::InformationWindow::wanted(nextStart()));
    {
        app::InformationWindow window(*settings);
        EXPECT_FALSE(window.dontShowBox()->isChecked());
        window.dontShowBox()->click();
        EXPECT_EQ(stored(), QStringLiteral("0"));
        window.dontShowBox()->click(); // changed their mind
        EXPECT_EQ(stored(), QStringLiteral("1"));
        window.continueButton()->click();
        EXPECT_EQ(window.result(), QDialog::Accepted);
    }
    // Second start: shown again; this time the box stays ticked.
    ASSERT_TRUE(app::InformationWindow::wanted(nextStart()));
    {
        app::InformationWindow window(*settings);
        EXPECT_FALSE(window.dontShowBox()->isChecked());
        window.dontShowBox()->click();
        window.continueButton()->click();
    }
    // Third start: straight to the console.
    EXPECT_FALSE(app::InformationWindow::wanted(nextStart()));
    QWidget console;
    EXPECT_FALSE(app::InformationWindow::showAtStart(*settings, &console));
}

TEST_F(InformationTest, AnUnreadableValueShowsTheWindow) {
    nextStart().setValue(QStringLiteral("Options/Show Tips at Startup"), QStringLiteral("maybe"));
    EXPECT_TRUE(app::InformationWindow::wanted(*settings));
    settings->setValue(QStringLiteral("Options/Show Tips at Startup"), QStringLiteral(" 0 "));
    EXPECT_FALSE(app::InformationWindow::wanted(*settings));
}

TEST_F(InformationTest, ShownModallyOverTheConsoleAndContinueGoesBackToIt) {
    QWidget console;
    console.show();
    bool sawWindow = false;
    QTimer::singleShot(0, &console, [&] {
        auto* window = qobject_cast<app::InformationWindow*>(QApplication::activeModalWidget());
        sawWindow = window != nullptr && window->isModal() && window->parentWidget() == &console;
        if (window != nullptr) {
            EXPECT_EQ(window->objectName(), QStringLiteral("Form1"));
            window->continueButton()->click();
        }
    });
    EXPECT_TRUE(app::InformationWindow::showAtStart(nextStart(), &console));
    EXPECT_TRUE(sawWindow);
    EXPECT_TRUE(console.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(InformationTest, ThePageButtonsOpenTheirAddressesAndEscapeCloses) {
    QList<QUrl> opened;
    widgets::SkinnedButton::setUrlOpener([&](const QUrl& url) { opened << url; });
    app::InformationWindow window(nextStart());
    window.show();
    EXPECT_EQ(window.addOnsButton()->text(), QStringLiteral("Preview Add-ons "));
    window.addOnsButton()->click();
    window.websiteButton()->click();
    QCoreApplication::processEvents();
    widgets::SkinnedButton::setUrlOpener({});
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0], app::InformationWindow::kAddOnsUrl);
    EXPECT_EQ(opened[1], app::InformationWindow::kWebsiteUrl);
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

// About and help, from the console's own menu.
class ShellMenuTest : public ConsoleTest {
protected:
    QList<QUrl> opened;
    bool browserAnswers = true;

    void startWithBrowser() {
        start();
        console->shell().setUrlOpener([this](const QUrl& url) {
            opened << url;
            return browserAnswers;
        });
    }
    void trigger(const char* action) { console->menus().action(QLatin1String(action))->trigger(); }
};

TEST_F(ShellMenuTest, AboutTakesTheConsoleColourAndClosesBackToTheConsole) {
    startWithBrowser();
    console->state().setBackColour(console::toStored(0x336699));
    trigger("mnuAbout");
    app::AboutWindow* about = console->shell().about();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("Sylvaro Lite V5.5"));
    EXPECT_EQ(about->palette().color(QPalette::Window), QColor(0x33, 0x66, 0x99));
    about->closeButton()->click();
    EXPECT_FALSE(about->isVisible());

    console->state().setBackColour(console::toStored(0x102030));
    trigger("mnuAbout");
    EXPECT_EQ(console->shell().about(), about); // made once
    EXPECT_EQ(about->palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30));
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_FALSE(about->isVisible());
}

TEST_F(ShellMenuTest, HelpOpensTheHelpPageBesideTheProgram) {
    startWithBrowser();
    QFile page(folder.path() + QStringLiteral("/help.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><body>help</body></html>");
    page.close();
    ASSERT_TRUE(console->menus().action(QStringLiteral("mnuHelpTopics"))->isEnabled());
    trigger("mnuHelpTopics");
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(folder.path() + QStringLiteral("/help.html")));
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(ShellMenuTest, AMissingHelpFileOrNoBrowserIsSaid) {
    startWithBrowser();
    trigger("mnuHelpTopics");
    EXPECT_TRUE(opened.isEmpty());
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].text.contains(QStringLiteral("help.html")));

    QFile page(folder.path() + QStringLiteral("/help.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    browserAnswers = false;
    trigger("mnuHelpTopics");
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[1].text,
              app::ConsoleShell::kHelpFailedText.arg(folder.path() + QStringLiteral("/help.html")));
}

TEST_F(ShellMenuTest, RecorderButtonsClickWithTheirSoundThroughTheMixer) {
    start();
    console->recordButton()->click();
    recorder::RecorderWindow* recorder = console->recorder().window();
    ASSERT_NE(recorder, nullptr);
    auto* close = recorder->findChild<widgets::XpBs*>(QStringLiteral("cmdClose"));
    ASSERT_NE(close, nullptr);

    // No click.wav: the click happens, silently.
    const int before = engine().bufferCount();
    close->click();
    EXPECT_FALSE(recorder->isVisible());
    EXPECT_EQ(engine().bufferCount(), before);

    QDir(folder.path()).mkpath(QStringLiteral("resources"));
    folder.writeLevel("resources/click.wav", 0.5);
    console->recordButton()->click();
    close->click();
    EXPECT_EQ(engine().bufferCount(), before + 1);
    int skinned = 0;
    for (const char* name : {"cmdRecord", "cmdStop", "cmdPlay", "cmdSave", "cmdReset", "cmdMixer",
                             "cmdClose", "cmdMp3"}) {
        skinned += recorder->findChild<widgets::XpBs*>(QLatin1String(name)) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(skinned, 8);
}

} // namespace
} // namespace sylvaro::test
