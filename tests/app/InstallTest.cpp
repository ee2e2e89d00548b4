// The program as a user gets it from `make install`: installed into a prefix,
// started through its launcher with the installed tree read-only, and the
// files that make it a desktop application checked by the desktop's own
// validators.

#include "persist/ConsoleSettings.h"
#include "persist/LineCodec.h"
#include "support/BuiltProgram.h"
#include "support/ProgramRun.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sylvaro;
using test::contents;
using test::waitFor;

namespace {

const QString kAppId = QStringLiteral(SYLVARO_APP_ID);
const QString kMixType = QStringLiteral("application/x-sylvaro-mix");

struct ToolRun {
    int exitCode = -1;
    QString output; // stdout and stderr together
};

ToolRun run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    ToolRun result;
    if (!p.waitForStarted(10000) || !p.waitForFinished(60000)) {
        result.output = program + QStringLiteral(" did not run: ") + p.errorString();
        return result;
    }
    result.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    result.output = QString::fromLocal8Bit(p.readAll());
    return result;
}

// Every file and folder under `root`, relative to it, with its size.
QStringList treeOf(const QString& root) {
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries << QDir(root).relativeFilePath(info.filePath()) + u' ' +
                       QString::number(info.isDir() ? 0 : info.size());
    }
    entries.sort();
    return entries;
}

// A file the install must leave behind, put into the build's program folder
// for the time of the install only; one that is there already is left alone.
class PlantedFile {
public:
    explicit PlantedFile(QString path) : m_path(std::move(path)) {
        if (!QFile::exists(m_path)) {
            QDir().mkpath(QFileInfo(m_path).path());
            QFile f(m_path);
            m_planted = f.open(QIODevice::WriteOnly) && f.write("planted\r\n") > 0;
        }
    }
    ~PlantedFile() {
        if (m_planted) {
            QFile::remove(m_path);
        }
    }
    PlantedFile(const PlantedFile&) = delete;
    PlantedFile& operator=(const PlantedFile&) = delete;

private:
    QString m_path;
    bool m_planted = false;
};

// One install per suite: `cmake --install` of this build into a fresh prefix.
class InstalledProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const QString built = test::builtProgramDir();
        if (built.isEmpty() || !QFile::exists(built + QStringLiteral("/sylvaro-lite"))) {
            return;
        }
        s_tmp = new QTemporaryDir;
        ::chmod(s_tmp->path().toLocal8Bit().constData(), 0755);
        s_prefix = s_tmp->filePath(QStringLiteral("prefix"));
        // What running the program from the build folder leaves there is the
        // user's, not part of the program.
        const PlantedFile settings(built + QStringLiteral("/settings.ini"));
        const PlantedFile mix(built + QStringLiteral("/saves/planted mix.svm"));
        s_install = run(QStringLiteral(SYLVARO_CMAKE_COMMAND),
                        {QStringLiteral("--install"), QStringLiteral(SYLVARO_BUILD_DIR),
                         QStringLiteral("--prefix"), s_prefix});
    }
    static void TearDownTestSuite() {
        delete s_tmp;
        s_tmp = nullptr;
    }

    void SetUp() override {
        if (s_tmp == nullptr) {
            GTEST_SKIP() << "SYLVARO_PROGRAM_DIR does not point at a built program folder";
        }
        ASSERT_EQ(s_install.exitCode, 0) << s_install.output.toStdString();
    }

    static QString prefixed(const QString& relative) { return s_prefix + u'/' + relative; }
    static QString programDir() { return prefixed(QStringLiteral("lib/sylvaro-lite")); }

    static inline QTemporaryDir* s_tmp = nullptr;
    static inline QString s_prefix;
    static inline ToolRun s_install;
};

} // namespace

TEST_F(InstalledProgram, LauncherLeadsIntoTheProgramFolderWithEveryBuiltInFile) {
    const QFileInfo launcher(prefixed(QStringLiteral("bin/sylvaro-lite")));
    ASSERT_TRUE(launcher.exists());
    EXPECT_TRUE(launcher.isExecutable());
    // The program finds its sounds beside its real file, wherever the prefix is.
    EXPECT_EQ(launcher.canonicalFilePath(),
              QFileInfo(programDir() + QStringLiteral("/sylvaro-lite")).canonicalFilePath());
    if (launcher.isSymLink()) {
        char target[4096] = {};
        ASSERT_GT(
            ::readlink(launcher.filePath().toLocal8Bit().constData(), target, sizeof target - 1),
            0);
        EXPECT_NE(target[0], '/') << "an absolute link breaks when the prefix is staged or moved";
    }
    for (const char* name : {"fire.wav", "ringin1.wav", "BLANK.WAV", "resources/click.wav",
                             "resources/icons/storm.png", "resources/icons/storm@2x.png",
                             "images/english fence.jpg"}) {
        EXPECT_TRUE(QFile::exists(programDir() + u'/' + QString::fromLatin1(name))) << name;
    }
    for (const char* folder : {"images", "sounds", "saves", "resources"}) {
        EXPECT_TRUE(QFileInfo(programDir() + u'/' + QString::fromLatin1(folder)).isDir()) << folder;
    }
    // Marked as installed, so it stays the program's even where the user may write.
    EXPECT_TRUE(QFile::exists(programDir() + QStringLiteral("/.installed")));
    EXPECT_FALSE(QFile::exists(programDir() + QStringLiteral("/settings.ini")));
    EXPECT_FALSE(QFile::exists(programDir() + QStringLiteral("/saves/planted mix.svm")));
}

TEST_F(InstalledProgram, RunsFromTheReadOnlyTreeAndPlaysATickedBox) {
    const QString home = s_tmp->filePath(QStringLiteral("home"));
    const QString data = home + QStringLiteral("/data/sylvaro-lite/sylvaro-lite");
    QDir().mkpath(data);
    QDir().mkpath(home + QStringLiteral("/run"));
    ::chmod((home + QStringLiteral("/run")).toLocal8Bit().constData(), 0700);
    // The user's own mix: "Fire Crackling" ticked, every random sound off, so
    // whatever reaches the speakers is that box.
    persist::ConsoleSettings mix;
    mix.bank1.fill(2000);
    mix.bank2.fill(2000);
    mix.boxes[0] = 1;
    ASSERT_TRUE(persist::writeFileAtomically(data + QStringLiteral("/settings.ini"), mix.toLine()));
    ASSERT_TRUE(test::switchTipsOff(home));

    const bool root = ::geteuid() == 0;
    if (root) {
        // Root may write anywhere: run as a user that owns its home but not the tree.
        QDirIterator it(home, QDir::AllEntries | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        ASSERT_EQ(::chown(home.toLocal8Bit().constData(), 65534, 65534), 0);
        while (it.hasNext()) {
            ASSERT_EQ(::chown(it.next().toLocal8Bit().constData(), 65534, 65534), 0);
        }
    } else {
        ASSERT_EQ(run(QStringLiteral("chmod"),
                      {QStringLiteral("-R"), QStringLiteral("a-w"), programDir()})
                      .exitCode,
                  0);
    }
    const QStringList before = treeOf(s_prefix);

    const QString speakers = home + QStringLiteral("/speakers.raw");
    QProcess program;
    program.setProcessEnvironment(test::programEnvironment(home, QStringLiteral("disk"), speakers));
    test::startProgram(program, prefixed(QStringLiteral("bin/sylvaro-lite")), root);
    ASSERT_TRUE(program.waitForStarted(10000));

    // 16-bit samples: anything but silence is the ticked box being heard.
    const auto heard = [&speakers] {
        const QByteArray bytes = contents(speakers);
        const auto* samples = reinterpret_cast<const qint16*>(bytes.constData());
        for (qsizetype i = 0; i < bytes.size() / 2; ++i) {
            if (samples[i] > 300 || samples[i] < -300) {
                return true;
            }
        }
        return false;
    };
    const bool played = waitFor(heard, 30000);
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(15000));
    if (!root) {
        run(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("u+w"), programDir()});
    }
    EXPECT_TRUE(played) << "nothing but silence reached " << speakers.toStdString();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(treeOf(s_prefix), before) << "the installed tree changed";
    const auto line = persist::readFirstLine(data + QStringLiteral("/settings.ini"));
    ASSERT_TRUE(line);
    const auto saved = persist::ConsoleSettings::fromLine(*line);
    ASSERT_TRUE(saved) << line->toStdString();
    EXPECT_EQ(saved->boxes[0], 1) << "the mix was not saved back to the user's folder";
    EXPECT_TRUE(QFile::exists(data + QStringLiteral("/settings2.ini")));
}

TEST_F(InstalledProgram, DesktopEntryPassesItsValidatorAndOpensMixes) {
    const QString entry = prefixed(QStringLiteral("share/applications/%1.desktop").arg(kAppId));
    ASSERT_TRUE(QFile::exists(entry));
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-validate is missing (desktop-file-utils)";
    const ToolRun checked = run(validator, {entry});
    EXPECT_EQ(checked.exitCode, 0) << checked.output.toStdString();
    EXPECT_TRUE(checked.output.trimmed().isEmpty()) << checked.output.toStdString();

    const QStringList lines = QString::fromUtf8(contents(entry)).split(u'\n');
    const auto value = [&lines](const QString& key) {
        for (const QString& line : lines) {
            if (line.startsWith(key + u'=')) {
                return line.mid(key.size() + 1);
            }
        }
        return QString();
    };
    EXPECT_EQ(value(QStringLiteral("Exec")), QStringLiteral("sylvaro-lite %f"));
    EXPECT_EQ(value(QStringLiteral("Icon")), kAppId);
    const QStringList categories = value(QStringLiteral("Categories")).split(u';');
    EXPECT_TRUE(categories.contains(QStringLiteral("Audio")));
    EXPECT_TRUE(categories.contains(QStringLiteral("AudioVideo")));
    const QStringList keywords = value(QStringLiteral("Keywords")).split(u';');
    for (const char* word : {"nature", "ambient", "rain", "sleep", "focus"}) {
        EXPECT_TRUE(keywords.contains(QString::fromLatin1(word))) << word;
    }
    EXPECT_TRUE(value(QStringLiteral("MimeType")).split(u';').contains(kMixType));
    // The install told the desktop which program opens a mix.
    EXPECT_TRUE(contents(prefixed(QStringLiteral("share/applications/mimeinfo.cache")))
                    .contains((kMixType + u'=' + kAppId + QStringLiteral(".desktop")).toUtf8()));
}

TEST_F(InstalledProgram, MetainfoPassesItsValidatorAndNamesTheEntry) {
    const QString metainfo = prefixed(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId));
    ASSERT_TRUE(QFile::exists(metainfo));
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    ASSERT_FALSE(validator.isEmpty()) << "appstreamcli is missing (appstream)";
    const ToolRun checked = run(validator, {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                            QStringLiteral("--explain"), metainfo});
    EXPECT_EQ(checked.exitCode, 0) << checked.output.toStdString();
    const QByteArray xml = contents(metainfo);
    EXPECT_TRUE(xml.contains("<launchable type=\"desktop-id\">" + kAppId.toUtf8() +
                             ".desktop</launchable>"));
    EXPECT_TRUE(xml.contains("<mediatype>" + kMixType.toUtf8() + "</mediatype>"));
    EXPECT_TRUE(xml.contains("<binary>sylvaro-lite</binary>"));
    EXPECT_TRUE(xml.contains("<screenshot type=\"default\">"));
    EXPECT_TRUE(xml.contains("<description>"));
}

TEST_F(InstalledProgram, MixFilesAreKnownByTheirNameAsText) {
    const QString package = prefixed(QStringLiteral("share/mime/packages/%1.xml").arg(kAppId));
    ASSERT_TRUE(QFile::exists(package));
    // The install ran update-mime-database over the prefix: what it made of the
    // package is what file managers will see.
    const QString mime = prefixed(QStringLiteral("share/mime"));
    EXPECT_TRUE(contents(mime + QStringLiteral("/globs2"))
                    .contains((kMixType + QStringLiteral(":*.svm")).toUtf8()))
        << "update-mime-database did not run or did not read the package";
    EXPECT_TRUE(contents(mime + QStringLiteral("/subclasses"))
                    .contains((kMixType + QStringLiteral(" text/plain")).toUtf8()));
    EXPECT_TRUE(QFile::exists(mime + QStringLiteral("/application/x-sylvaro-mix.xml")));
    // And it reads the package without a complaint.
    const QString updater = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    ASSERT_FALSE(updater.isEmpty()) << "update-mime-database is missing (shared-mime-info)";
    QTemporaryDir scratch;
    QDir().mkpath(scratch.filePath(QStringLiteral("packages")));
    ASSERT_TRUE(QFile::copy(package, scratch.filePath(QStringLiteral("packages/mix.xml"))));
    const ToolRun checked = run(updater, {QStringLiteral("-V"), scratch.path()});
    EXPECT_EQ(checked.exitCode, 0) << checked.output.toStdString();
    EXPECT_FALSE(checked.output.contains(QStringLiteral("arning"))) << checked.output.toStdString();
}

TEST_F(InstalledProgram, IconsComeInEveryThemeSize) {
    const QString hicolor = prefixed(QStringLiteral("share/icons/hicolor"));
    for (int size : {48, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage icon(
            QStringLiteral("%1/%2x%2/apps/%3.png").arg(hicolor).arg(size).arg(kAppId));
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.size(), QSize(size, size));
        EXPECT_TRUE(icon.hasAlphaChannel());
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << "the corners are see-through";
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255);
    }
    const QByteArray svg = contents(QStringLiteral("%1/scalable/apps/%2.svg").arg(hicolor, kAppId));
    EXPECT_TRUE(svg.startsWith("<?xml")) << svg.left(80).toStdString();
    EXPECT_TRUE(svg.contains("viewBox=\"0 0 256 256\""));
    EXPECT_TRUE(svg.trimmed().endsWith("</svg>"));
}

TEST_F(InstalledProgram, ManualPageRendersCleanlyAndDescribesEveryExportOption) {
    const QString page = prefixed(QStringLiteral("share/man/man1/sylvaro-lite.1"));
    ASSERT_TRUE(QFile::exists(page));
    EXPECT_TRUE(contents(page).startsWith(
        QStringLiteral(".TH \"SYLVARO\\-LITE\" \"1\" \"%1\" \"Sylvaro Lite %2\"")
            .arg(QStringLiteral(SYLVARO_RELEASE_DATE), QStringLiteral(SYLVARO_VERSION))
            .toUtf8()))
        << contents(page).left(120).toStdString();

    // Rendered to plain text, with every warning groff has.
    const QString groff = QStandardPaths::findExecutable(QStringLiteral("groff"));
    ASSERT_FALSE(groff.isEmpty()) << "groff is missing (groff-base)";
    QProcess render;
    render.start(groff, {QStringLiteral("-man"), QStringLiteral("-Tutf8"), QStringLiteral("-ww"),
                         QStringLiteral("-P-cbou"), page});
    ASSERT_TRUE(render.waitForFinished(60000));
    const QString text = QString::fromUtf8(render.readAllStandardOutput());
    EXPECT_EQ(render.exitCode(), 0);
    EXPECT_TRUE(render.readAllStandardError().isEmpty()) << "groff warned";
    for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS",
                                "FILES", "ENVIRONMENT", "EXAMPLES", "SEE ALSO"}) {
        EXPECT_TRUE(text.contains(u'\n' + QString::fromLatin1(section) + u'\n')) << section;
    }

    // The options the installed program itself names in its usage line, each
    // with its own entry on the page.
    const QString home = s_tmp->filePath(QStringLiteral("usage-home"));
    QProcess program;
    program.setProcessEnvironment(test::programEnvironment(home, QStringLiteral("dummy"), {}));
    program.start(prefixed(QStringLiteral("bin/sylvaro-lite")),
                  {QStringLiteral("--export"), home + QStringLiteral("/night.ogg")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 2);
    const QString usage = QString::fromLocal8Bit(program.readAllStandardError());
    // Each --option a text names has an entry whose first line is the option,
    // then what `after` matches.
    const auto expectEntries = [&text](const QString& names, const QString& after, int least) {
        QStringList options;
        for (auto it = QRegularExpression(QStringLiteral("--[a-z]+")).globalMatch(names);
             it.hasNext();) {
            options << it.next().captured();
        }
        options.removeDuplicates();
        EXPECT_GE(options.size(), least) << names.toStdString();
        for (const QString& option : options) {
            EXPECT_TRUE(text.contains(QRegularExpression(
                QStringLiteral("\\n {7}%1%2").arg(QRegularExpression::escape(option), after))))
                << option.toStdString() << " has no entry of its own";
        }
    };
    expectEntries(usage, QStringLiteral(" [A-Z]+\\n"), 5);

    // And every option --help names, the commands for a running console
    // among them.
    program.start(prefixed(QStringLiteral("bin/sylvaro-lite")), {QStringLiteral("--help")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0);
    expectEntries(QString::fromLocal8Bit(program.readAllStandardOutput()),
                  QStringLiteral("[ ,\\n]"), 12);
}
