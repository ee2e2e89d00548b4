// The console on a screen at 200 %: laid out twice as large, no caption cut
// off, pictures and icons as sharp as the screen allows.

#include <QCoreApplication>
#include <QMap>
#include <QProcess>
#include <QSize>
#include <gtest/gtest.h>

namespace {

struct Report {
    QStringList lines;
    QString errors;
    int exitCode = -1;

    QStringList with(const QString& kind) const {
        QStringList found;
        for (const QString& line : lines) {
            if (line.startsWith(kind + u' ')) {
                found << line.mid(kind.size() + 1);
            }
        }
        return found;
    }
    // "name w h" lines as name → (w, h).
    QMap<QString, QSize> sizes(const QString& kind) const {
        QMap<QString, QSize> found;
        for (const QString& line : with(kind)) {
            const QStringList f = line.split(u' ');
            found.insert(f[0], QSize(f[1].toInt(), f[2].toInt()));
        }
        return found;
    }
};

Report probeAt(const char* scale) {
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(scale));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    probe.setProcessEnvironment(env);
    probe.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--probe")});
    Report report;
    if (!probe.waitForFinished(60000)) {
        report.errors = probe.errorString();
        return report;
    }
    report.exitCode = probe.exitCode();
    report.errors = QString::fromLocal8Bit(probe.readAllStandardError());
    report.lines = QString::fromLocal8Bit(probe.readAllStandardOutput()).split(u'\n');
    return report;
}

class HighDensity : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (qEnvironmentVariableIsEmpty("SYLVARO_PROGRAM_DIR")) {
            return;
        }
        s_normal = new Report(probeAt("1"));
        s_double = new Report(probeAt("2"));
    }
    static void TearDownTestSuite() {
        delete s_normal;
        delete s_double;
    }
    void SetUp() override {
        if (s_normal == nullptr) {
            GTEST_SKIP() << "SYLVARO_PROGRAM_DIR is not set; run through ctest";
        }
        ASSERT_EQ(s_normal->exitCode, 0) << s_normal->errors.toStdString();
        ASSERT_EQ(s_double->exitCode, 0) << s_double->errors.toStdString();
    }

    static inline Report* s_normal = nullptr;
    static inline Report* s_double = nullptr;
};

void expectDoubled(const QString& what, QSize normal, QSize doubled) {
    ASSERT_TRUE(normal.isValid() && !normal.isEmpty()) << what.toStdString();
    const double w = static_cast<double>(doubled.width()) / normal.width();
    const double h = static_cast<double>(doubled.height()) / normal.height();
    EXPECT_NEAR(w, 2.0, 0.1) << what.toStdString() << " width " << normal.width() << " -> "
                             << doubled.width();
    EXPECT_NEAR(h, 2.0, 0.1) << what.toStdString() << " height " << normal.height() << " -> "
                             << doubled.height();
}

TEST_F(HighDensity, TheConsoleAndItsPanelsDoubleInBothDimensions) {
    const QStringList normal = s_normal->with(QStringLiteral("window"))[0].split(u' ');
    const QStringList doubled = s_double->with(QStringLiteral("window"))[0].split(u' ');
    expectDoubled(QStringLiteral("window"), QSize(normal[0].toInt(), normal[1].toInt()),
                  QSize(doubled[0].toInt(), doubled[1].toInt()));
    const QMap<QString, QSize> panels = s_normal->sizes(QStringLiteral("panel"));
    const QMap<QString, QSize> panels2 = s_double->sizes(QStringLiteral("panel"));
    ASSERT_GE(panels.size(), 5);
    for (auto it = panels.begin(); it != panels.end(); ++it) {
        expectDoubled(it.key(), it.value(), panels2.value(it.key()));
    }
}

TEST_F(HighDensity, NoCaptionIsCutOffAtEitherScale) {
    EXPECT_TRUE(s_normal->with(QStringLiteral("cut")).isEmpty())
        << s_normal->with(QStringLiteral("cut")).join(u' ').toStdString();
    EXPECT_TRUE(s_double->with(QStringLiteral("cut")).isEmpty())
        << s_double->with(QStringLiteral("cut")).join(u' ').toStdString();
}

TEST_F(HighDensity, PicturesAreScaledToEveryDevicePixel) {
    const QStringList pictures = s_double->with(QStringLiteral("picture"));
    ASSERT_FALSE(pictures.isEmpty()) << "no picture shown";
    for (const QString& line : pictures) {
        const QStringList f = line.split(u' ');
        SCOPED_TRACE(line.toStdString());
        // Smoothly scaled to the screen's pixels here, not blown up when drawn.
        EXPECT_EQ(f[3].toInt(), 2 * f[1].toInt());
        EXPECT_EQ(f[4].toInt(), 2 * f[2].toInt());
        EXPECT_EQ(f[5].toDouble(), 2.0);
    }
}

TEST_F(HighDensity, IconsComeFromSourcesTwiceTheirSize) {
    const QStringList icons = s_double->with(QStringLiteral("icon"));
    ASSERT_GE(icons.size(), 12) << "the scene buttons have icons";
    for (const QString& line : icons) {
        const QStringList f = line.split(u' ');
        SCOPED_TRACE(line.toStdString());
        EXPECT_GE(f[3].toInt(), 2 * f[1].toInt());
        EXPECT_GE(f[4].toInt(), 2 * f[2].toInt());
    }
}

} // namespace
