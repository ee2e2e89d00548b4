#include "support/BuiltProgram.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <gtest/gtest.h>

namespace sylvaro::test {
namespace {

// The help page the build writes beside the program: one section per
// feature, and every link and picture in it leads somewhere.
class HelpPageTest : public ::testing::Test {
protected:
    QString dir;
    QString html;

    void SetUp() override {
        dir = builtProgramDir();
        if (dir.isEmpty()) {
            GTEST_SKIP() << "no built program folder to read";
        }
        QFile page(dir + QStringLiteral("/help.html"));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly))
            << "help.html is missing from " << dir.toStdString();
        html = QString::fromUtf8(page.readAll());
    }
    QStringList attributes(const QString& name) const {
        QStringList values;
        const QRegularExpression re(QStringLiteral("\\b%1=\"([^\"]*)\"").arg(name));
        for (auto it = re.globalMatch(html); it.hasNext();) {
            values << it.next().captured(1);
        }
        return values;
    }
};

TEST_F(HelpPageTest, HasASectionForEveryFeature) {
    const QStringList ids = attributes(QStringLiteral("id"));
    for (const char* section :
         {"starting", "background-sounds", "random-sounds", "volume-and-mute", "scenes",
          "custom-sounds", "user-mixes", "alarm-and-clock", "recorder", "picture-only-mode",
          "keyboard-use", "exporting-a-soundscape", "sleep-timer",
          "media-keys-and-the-desktop-s-sound-menu", "keeping-the-computer-awake",
          "controlling-the-console-from-the-command-line"}) {
        EXPECT_TRUE(ids.contains(QLatin1String(section))) << section;
    }
    EXPECT_TRUE(html.contains(QStringLiteral("<title>Sylvaro Lite Help</title>")));
}

TEST_F(HelpPageTest, EveryLinkAndPictureResolves) {
    const QStringList idList = attributes(QStringLiteral("id"));
    const QSet<QString> ids(idList.begin(), idList.end());
    const QStringList links = attributes(QStringLiteral("href"));
    ASSERT_FALSE(links.isEmpty());
    for (const QString& link : links) {
        if (link.startsWith(QLatin1Char('#'))) {
            EXPECT_TRUE(ids.contains(link.mid(1))) << link.toStdString();
        } else if (QUrl(link).isRelative()) {
            EXPECT_TRUE(QFile::exists(QDir(dir).filePath(link))) << link.toStdString();
        }
    }
    const QStringList pictures = attributes(QStringLiteral("src"));
    EXPECT_GE(pictures.size(), 8);
    for (const QString& picture : pictures) {
        ASSERT_TRUE(QUrl(picture).isRelative()) << picture.toStdString();
        const QImage image(QDir(dir).filePath(picture));
        EXPECT_FALSE(image.isNull()) << picture.toStdString();
        // Taken from the program, not a blank canvas: many colours.
        if (!image.isNull()) {
            EXPECT_GT(image.width(), 100) << picture.toStdString();
            QSet<QRgb> colours;
            for (int y = 0; y < image.height(); y += 3) {
                for (int x = 0; x < image.width(); x += 3) {
                    colours.insert(image.pixel(x, y));
                }
            }
            EXPECT_GT(colours.size(), 8) << picture.toStdString();
        }
    }
    EXPECT_TRUE(pictures.contains(QStringLiteral("screenshots/console.png")));
}

} // namespace
} // namespace sylvaro::test
