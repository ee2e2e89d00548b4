// Every file the console reads, handed every kind of bad file a user's
// machine can hold. Each case states what the user is told, what the console
// shows afterwards and that the file the user had is still there, whole.
//
// Runs as an ordinary user (tests/support/unprivileged.sh), so a file
// without read permission really cannot be read.

#include "app/ConsoleFixture.h"
#include "app/CustomLink.h"
#include "app/MixFiles.h"
#include "app/RecorderLink.h"
#include "app/SettingsFiles.h"
#include "custom/CustomChannels.h"
#include "custom/CustomPanel.h"
#include "custom/SoundDecoder.h"
#include "engine/TestWav.h"
#include "persist/CustomPanelSettings.h"
#include "persist/LineCodec.h"
#include "persist/MixFile.h"
#include "persist/RecorderSettings.h"
#include "persist/Windows1252.h"
#include "recorder/RecorderWindow.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QSlider>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace sylvaro::test {
namespace {

enum class Reader { Settings, CustomNames, Panel, Recorder, Mix, Sound, Picture };

enum class Row {
    Missing,
    Empty,
    OneByte,
    TruncatedMidField,
    BinaryNoise,
    HundredMegabytesOfText,
    ValidLineThenGarbage,
    FieldOutOfRange,
    WrongFieldCount,
    LineFeedOnly,
    CarriageReturnOnly,
    NameWithDotDot,
    NameWithSlash,
    NameWithQuote,
    NotWindows1252,
    Folder,
    Fifo,
    Unreadable
};

// What the user gets.
enum class Outcome {
    Read,         // the file's values are in the console; nothing is said
    Defaults,     // the console is as with no file at all; nothing is said
    Refused,      // told once, naming the file; nothing taken from it; the file kept
    SoundMissing, // the names are taken, and the sound they name is reported missing
    PictureKept,  // the console keeps the picture it shows; nothing is said
};

bool isNameRow(Row row) {
    return row == Row::NameWithDotDot || row == Row::NameWithSlash || row == Row::NameWithQuote ||
           row == Row::NotWindows1252;
}

// The behaviour each reader promises, row by row.
Outcome expected(Reader reader, Row row) {
    const bool sound = reader == Reader::Sound;
    if (reader == Reader::Picture) {
        // A picture is only shown: one that cannot be shown leaves the one
        // there was, as a missing one does.
        switch (row) {
        case Row::ValidLineThenGarbage:
        case Row::LineFeedOnly:
        case Row::CarriageReturnOnly:
            return Outcome::Read;
        default:
            // The picture's name is the last field: a stray quote in it runs
            // into no other field, and what is left names no picture.
            return Outcome::PictureKept;
        }
    }
    switch (row) {
    case Row::Missing:
        // A settings file that is not there is a first start; a mix the user
        // asked for, or a sound the settings name, must be there.
        return reader == Reader::Mix ? Outcome::Refused
               : sound               ? Outcome::SoundMissing
                                     : Outcome::Defaults;
    case Row::ValidLineThenGarbage:
    case Row::LineFeedOnly:
    case Row::CarriageReturnOnly:
        // Only the first line is the record, whatever ends it.
        return Outcome::Read;
    case Row::FieldOutOfRange:
        // A name that is too long is still a name: the sound is not found.
        return reader == Reader::CustomNames || sound ? Outcome::SoundMissing : Outcome::Refused;
    case Row::NameWithQuote:
        // The line format cannot hold a quote inside a name: the fields
        // after it run together.
        return Outcome::Refused;
    case Row::NameWithDotDot:
    case Row::NameWithSlash:
    case Row::NotWindows1252:
        switch (reader) {
        case Reader::Settings:
        case Reader::Recorder:
            return Outcome::Refused; // a name where a number belongs
        case Reader::Panel:
            return Outcome::Read; // a label is only shown
        default:
            return Outcome::SoundMissing; // a name must be a file of sounds/
        }
    default:
        return sound ? Outcome::SoundMissing : Outcome::Refused;
    }
}

// What a file looks like on disk, to tell that nothing was lost.
struct Snapshot {
    enum Kind { None, File, Folder, Fifo } kind = None;
    qint64 size = 0;
    QByteArray hash;
    int mode = 0;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot snapshot(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        return {};
    }
    Snapshot s;
    s.mode = static_cast<int>(st.st_mode & 07777);
    if (S_ISDIR(st.st_mode)) {
        s.kind = Snapshot::Folder;
        s.hash = QDir(path).entryList(QDir::Files).join(u'/').toUtf8();
        return s;
    }
    if (S_ISFIFO(st.st_mode)) {
        s.kind = Snapshot::Fifo;
        return s;
    }
    s.kind = Snapshot::File;
    s.size = st.st_size;
    // A file without read permission is hashed through a readable moment.
    const bool locked = (st.st_mode & S_IRUSR) == 0;
    if (locked) {
        ::chmod(QFile::encodeName(path).constData(), 0600);
    }
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        QCryptographicHash h(QCryptographicHash::Sha1);
        h.addData(&f);
        s.hash = h.result();
    }
    if (locked) {
        ::chmod(QFile::encodeName(path).constData(), st.st_mode & 07777);
    }
    return s;
}

QByteArray noise(int bytes, unsigned seed) {
    std::mt19937 random(seed);
    QByteArray out(bytes, '\0');
    for (char& c : out) {
        c = static_cast<char>(random() & 0xff);
    }
    return out;
}

// The line with its ending replaced.
QByteArray withEnding(QByteArray line, const char* ending) {
    if (line.endsWith("\r\n")) {
        line.chop(2);
    }
    return line + ending;
}

constexpr int kBackgroundVolume = -800; // what the good files say
constexpr int kBeforeMix = -300;        // the console's value before a mix
constexpr int kRecorderSize = 123;
constexpr int kRecorderSizeDesign = 700;
const QString kLabel = QStringLiteral("Our roof");
const QString kSound = QStringLiteral("mine.wav");
const QString kPicture = QStringLiteral("mine.png");

// A PNG chunk's check sum.
quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// The PNG with the size its header gives replaced, check sum and all.
QByteArray withPictureSize(QByteArray png, quint32 width, quint32 height) {
    // 8 bytes of signature, 4 of length, then "IHDR", width, height.
    const auto put = [&](int at, quint32 v) {
        for (int i = 0; i < 4; ++i) {
            png[at + i] = static_cast<char>((v >> (24 - 8 * i)) & 0xff);
        }
    };
    put(16, width);
    put(20, height);
    put(29, crc32(png.mid(12, 17)));
    return png;
}

class BadInputMatrix : public ConsoleTest,
                       public ::testing::WithParamInterface<std::tuple<Reader, Row>> {
protected:
    Reader reader() const { return std::get<0>(GetParam()); }
    Row row() const { return std::get<1>(GetParam()); }

    void SetUp() override {
        QDir(folder.path()).mkpath(QStringLiteral("sounds"));
        QDir(folder.path()).mkpath(QStringLiteral("saves"));
        QDir(folder.path()).mkpath(QStringLiteral("elsewhere"));
        // The sound a name with a path would reach if names were followed.
        writeBytes(folder.path() + QStringLiteral("/mine.wav"), goodWav());
        writeBytes(folder.path() + QStringLiteral("/elsewhere/mine.wav"), goodWav());
        writeBytes(folder.path() + QStringLiteral("/mine.png"), goodPicture());
        writeBytes(folder.path() + QStringLiteral("/elsewhere/mine.png"), goodPicture());
    }

    QString path(const QString& name) const { return folder.path() + u'/' + name; }

    static QByteArray goodPicture() {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(QColor(40, 90, 160));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return png;
    }
    static QByteArray goodWav() {
        return QByteArray::fromStdString(
            engine::test::wavBytes(1, 1, 48000, 16, std::string(9600, '\x10')));
    }
    static void writeBytes(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // The name a name row puts in a file.
    QString badName() const {
        const QString good = reader() == Reader::Picture ? kPicture : kSound;
        const QString type = good.section(u'.', -1);
        switch (row()) {
        case Row::NameWithDotDot:
            return QStringLiteral("../") + good;
        case Row::NameWithSlash:
            return path(QStringLiteral("elsewhere/") + good);
        case Row::NameWithQuote:
            return QStringLiteral("it\"s.") + type;
        case Row::NotWindows1252:
            // "bäch" as UTF-8 bytes: the file below holds them as they are.
            return QString::fromLatin1("b\xc3\xa4") + QStringLiteral("ch.") + type;
        case Row::FieldOutOfRange:
            return QString(300, u'a') + u'.' + type;
        default:
            return good;
        }
    }

    // --- each reader's good line, out-of-range line and named line ---

    static persist::ConsoleSettings goodSettings() {
        persist::ConsoleSettings s;
        s.bank1.fill(2000);
        s.bank2.fill(2000);
        s.backgroundVolume = kBackgroundVolume;
        return s;
    }
    static persist::CustomNames names(const QString& background) {
        persist::CustomNames n;
        n.background[0] = background;
        return n;
    }
    static persist::CustomNames pictureNames(const QString& picture) {
        persist::CustomNames n;
        n.picture = picture;
        return n;
    }
    // The sound and the picture are named in the names file.
    bool namedInNames() const { return reader() == Reader::Sound || reader() == Reader::Picture; }
    QByteArray namesLine() const {
        return reader() == Reader::Picture ? pictureNames(kPicture).toLine()
                                           : names(kSound).toLine();
    }
    static persist::CustomPanelSettings panel(const QString& secondLabel) {
        persist::CustomPanelSettings p;
        p.backgroundLabels[0] = kLabel;
        p.backgroundLabels[1] = secondLabel;
        return p;
    }
    static persist::RecorderSettings recorder() {
        persist::RecorderSettings r;
        r.sizeTarget = kRecorderSize;
        return r;
    }
    persist::MixFile mix(const QString& background) const {
        persist::MixFile m = m_mix;
        m.names.background[0] = background;
        return m;
    }

    QByteArray goodLine() const {
        switch (reader()) {
        case Reader::Settings:
            return goodSettings().toLine();
        case Reader::CustomNames:
        case Reader::Sound:
            return names(kSound).toLine();
        case Reader::Panel:
            return panel(QStringLiteral("Not Set")).toLine();
        case Reader::Recorder:
            return recorder().toLine();
        case Reader::Mix:
            return mix({}).toLine();
        case Reader::Picture:
            return pictureNames(kPicture).toLine();
        }
        return {};
    }

    QByteArray outOfRangeLine() const {
        switch (reader()) {
        case Reader::Settings: {
            persist::ConsoleSettings s = goodSettings();
            s.randomVolume = 99999;
            return s.toLine();
        }
        case Reader::Panel: {
            persist::CustomPanelSettings p = panel(QStringLiteral("Not Set"));
            p.frequency[0] = 99999;
            return p.toLine();
        }
        case Reader::Recorder: {
            persist::RecorderSettings r = recorder();
            r.sizeTarget = 5000;
            return r.toLine();
        }
        case Reader::Mix: {
            persist::MixFile m = mix({});
            m.console.backgroundVolume = 99999;
            return m.toLine();
        }
        default:
            return names(badName()).toLine();
        }
    }

    // The good line with `name` where the reader keeps a name; readers
    // without one get it in place of their first number.
    QByteArray namedLine(const QString& name) const {
        const QByteArray quoted = '"' + persist::toWindows1252(name) + '"';
        switch (reader()) {
        case Reader::CustomNames:
        case Reader::Sound:
            return withName(names(kSound).toLine(), kSound, quoted);
        case Reader::Panel:
            return withName(panel(QStringLiteral("Not Set")).toLine(), QStringLiteral("Not Set"),
                            quoted);
        case Reader::Mix:
            return withName(mix(kSound).toLine(), kSound, quoted);
        case Reader::Picture:
            return withName(pictureNames(kPicture).toLine(), kPicture, quoted);
        default: {
            const QByteArray line = goodLine();
            return quoted + line.mid(line.indexOf(','));
        }
        }
    }
    // The writers would drop a quote from a name; these bytes are a hand-edited file's.
    static QByteArray withName(QByteArray line, const QString& placeholder,
                               const QByteArray& quoted) {
        const QByteArray was = '"' + placeholder.toLatin1() + '"';
        const qsizetype at = line.indexOf(was);
        return line.replace(at, was.size(), quoted);
    }

    // The bytes of the file under test for a row that has bytes.
    QByteArray bytes() const {
        if (reader() == Reader::Picture) {
            const QByteArray png = goodPicture();
            switch (row()) {
            case Row::Empty:
                return {};
            case Row::OneByte:
                return png.left(1);
            case Row::TruncatedMidField:
                return png.left(png.size() / 2);
            case Row::BinaryNoise:
                return noise(4096, 7);
            case Row::ValidLineThenGarbage:
                return png + noise(4096, 8);
            case Row::FieldOutOfRange:
                return withPictureSize(png, 60000, 60000); // 14 GB of pixels
            case Row::WrongFieldCount:
                return withPictureSize(png, 0, 48);
            default:
                return png;
            }
        }
        if (reader() == Reader::Sound) {
            const QByteArray wav = goodWav();
            switch (row()) {
            case Row::Empty:
                return {};
            case Row::OneByte:
                return "R";
            case Row::TruncatedMidField:
                return wav.left(30); // inside the format chunk
            case Row::BinaryNoise:
                return noise(4096, 7);
            case Row::ValidLineThenGarbage:
                return wav + noise(4096, 8);
            case Row::FieldOutOfRange:
                return QByteArray::fromStdString(
                    engine::test::wavBytes(1, 1, 4000, 16, std::string(800, '\x10')));
            case Row::WrongFieldCount:
                return QByteArray::fromStdString(
                    engine::test::wavBytes(1, 9, 48000, 16, std::string(9 * 2 * 480, '\x10')));
            default:
                return wav;
            }
        }
        const QByteArray good = goodLine();
        switch (row()) {
        case Row::Empty:
            return {};
        case Row::OneByte:
            return "1";
        case Row::TruncatedMidField:
            return good.left(good.size() / 2);
        case Row::BinaryNoise:
            return noise(4096, 7);
        case Row::ValidLineThenGarbage:
            return good + noise(4096, 8);
        case Row::FieldOutOfRange:
            return outOfRangeLine();
        case Row::WrongFieldCount:
            return withEnding(good, ",0\r\n");
        case Row::LineFeedOnly:
            return withEnding(good, "\n");
        case Row::CarriageReturnOnly:
            return withEnding(good, "\r");
        default:
            return isNameRow(row()) ? namedLine(badName()) : good;
        }
    }

    QString fileName() const {
        switch (reader()) {
        case Reader::Settings:
            return QStringLiteral("settings.ini");
        case Reader::CustomNames:
            return QStringLiteral("settings2.ini");
        case Reader::Panel:
            return QStringLiteral("settingsc.ini");
        case Reader::Recorder:
            return QStringLiteral("settings9.txt");
        case Reader::Mix:
            return QStringLiteral("saves/evening.svm");
        case Reader::Sound:
            return QStringLiteral("sounds/") + kSound;
        case Reader::Picture:
            return QStringLiteral("images/") + kPicture;
        }
        return {};
    }

    // The file a refusal is about: for a sound named badly, the names file.
    QString subject() const {
        return namedInNames() && isNameRow(row()) ? path(QStringLiteral("settings2.ini"))
                                                  : path(fileName());
    }

    // Puts the row's file in place.
    void makeFile() {
        const QString file = path(fileName());
        if (namedInNames()) {
            // The names file points at the file; name rows put the bad name there.
            const bool named = isNameRow(row());
            const QByteArray good = reader() == Reader::Picture ? goodPicture() : goodWav();
            QByteArray line = named ? namedLine(badName()) : namesLine();
            if (row() == Row::LineFeedOnly || row() == Row::CarriageReturnOnly) {
                line = withEnding(line, row() == Row::LineFeedOnly ? "\n" : "\r");
            }
            writeBytes(path(QStringLiteral("settings2.ini")), line);
            if (row() == Row::NotWindows1252) {
                writeBytes(reader() == Reader::Picture
                               ? path(QStringLiteral("images/b\u00e4ch.png"))
                               : path(QStringLiteral("sounds/b\u00e4ch.wav")),
                           good);
            }
            if (named) {
                writeBytes(file, good); // the file itself is fine
                return;
            }
        }
        if (reader() == Reader::CustomNames) {
            writeBytes(path(QStringLiteral("sounds/") + kSound), goodWav());
        }
        switch (row()) {
        case Row::Missing:
            return;
        case Row::Folder:
            ASSERT_TRUE(QDir().mkpath(file));
            writeBytes(file + QStringLiteral("/keep.txt"), "the user's own");
            return;
        case Row::Fifo:
            ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
            return;
        case Row::HundredMegabytesOfText: {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            const QByteArray line = "Rain on the roof, wind in the trees, a kettle on the stove."
                                    "\r\n";
            QByteArray block;
            while (block.size() < (1 << 20)) {
                block += line;
            }
            for (int i = 0; i < 100; ++i) {
                ASSERT_EQ(f.write(block), block.size());
            }
            return;
        }
        case Row::Unreadable:
            writeBytes(file, bytes());
            ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0), 0);
            return;
        default:
            writeBytes(file, bytes());
        }
    }

    // --- the console and what it shows ---

    custom::CustomChannels& customChannels() { return console->panels().custom; }
    engine::SoundEngine& sound() { return console->sounds().engine(); }
    QSlider* recorderSize() {
        recorder::RecorderWindow* w = console->recorder().window();
        return w ? w->findChild<QSlider*>(QStringLiteral("sldSize")) : nullptr;
    }

    // Starts the console and reads the file the way the user would meet it.
    void readIt() {
        if (reader() == Reader::Mix) {
            // The mix is made from the console, then the console is moved on.
            start();
            volumes().backgroundSlider()->setValue(kBackgroundVolume);
            m_mix = console->state().captureMix();
            volumes().backgroundSlider()->setValue(kBeforeMix);
            makeFile();
            m_before = snapshot(subject());
            dialogs.clear();
            m_loaded = console->mixes().loadFrom(path(fileName()));
            settleCustomSounds();
            return;
        }
        makeFile();
        m_before = snapshot(subject());
        start();
        settleCustomSounds();
        if (reader() == Reader::Picture) {
            // The custom picture comes with the rest of the saved state, a
            // little after start-up.
            host.advance(3000);
            QCoreApplication::processEvents();
        }
        if (reader() == Reader::Recorder) {
            console->recordButton()->click();
            ASSERT_NE(recorderSize(), nullptr);
        }
    }

    // Whether the console shows the good file's values.
    bool showsTheFile() {
        switch (reader()) {
        case Reader::Settings:
            return volumes().backgroundSlider()->value() == kBackgroundVolume;
        case Reader::CustomNames:
        case Reader::Sound:
            return customChannels().names().background[0] == kSound &&
                   sound().exists(customChannels().backgroundBuffer(1));
        case Reader::Panel:
            return console->custom().panel().capture().backgroundLabels[0] == kLabel;
        case Reader::Recorder:
            return recorderSize()->value() == kRecorderSize;
        case Reader::Mix:
            return volumes().backgroundSlider()->value() == kBackgroundVolume;
        case Reader::Picture:
            return pictureName() == kPicture;
        }
        return false;
    }

    // Whether the console is as if the file had never been there.
    bool showsNoFile() {
        switch (reader()) {
        case Reader::Settings:
            return volumes().backgroundSlider()->value() != kBackgroundVolume;
        case Reader::CustomNames:
        case Reader::Sound:
            return !sound().exists(customChannels().backgroundBuffer(1));
        case Reader::Panel:
            return console->custom().panel().capture() == persist::CustomPanelSettings{};
        case Reader::Recorder:
            return recorderSize()->value() == kRecorderSizeDesign;
        case Reader::Mix:
            return volumes().backgroundSlider()->value() == kBeforeMix; // as before the mix
        case Reader::Picture:
            return !pictureName().isEmpty() && pictureName() != kPicture;
        }
        return false;
    }

    QString refusalText() const {
        const QString file = subject();
        switch (reader()) {
        case Reader::Mix:
            return app::MixFiles::kNotAMixText.arg(QDir::toNativeSeparators(file));
        case Reader::Recorder:
            return recorder::RecorderWindow::kDamagedText.arg(file, file + ".damaged");
        default:
            return app::SettingsFiles::kDamagedText.arg(file, file + ".damaged");
        }
    }

    persist::MixFile m_mix;
    bool m_loaded = false;
    Snapshot m_before;
};

TEST_P(BadInputMatrix, TellsTheUserKeepsTheFileAndKeepsGoing) {
    if (row() == Row::Unreadable) {
        ASSERT_NE(::geteuid(), 0u) << "run through tests/support/unprivileged.sh: the "
                                      "superuser reads every file";
    }
    readIt();
    if (HasFatalFailure()) {
        return;
    }
    const Outcome outcome = expected(reader(), row());
    const auto& told = dialogs.messages();
    const auto describe = [&] {
        std::string all;
        for (const core::MessageRequest& m : told) {
            all += "\n  " + m.text.toStdString() + " / " + m.detail.toStdString();
        }
        return all;
    };

    switch (outcome) {
    case Outcome::Read:
        EXPECT_TRUE(told.empty()) << describe();
        EXPECT_TRUE(showsTheFile());
        break;
    case Outcome::Defaults:
        EXPECT_TRUE(told.empty()) << describe();
        EXPECT_TRUE(showsNoFile());
        break;
    case Outcome::Refused: {
        ASSERT_EQ(told.size(), 1u) << describe();
        EXPECT_EQ(told[0].text, refusalText());
        EXPECT_EQ(told[0].icon, core::MessageIcon::Warning);
        EXPECT_FALSE(told[0].detail.isEmpty()) << "the reason";
        EXPECT_TRUE(showsNoFile());
        if (reader() == Reader::Mix) {
            EXPECT_FALSE(m_loaded);
        }
        break;
    }
    case Outcome::PictureKept:
        EXPECT_TRUE(told.empty()) << describe();
        EXPECT_TRUE(showsNoFile()) << pictureName().toStdString();
        break;
    case Outcome::SoundMissing: {
        const QString text = reader() == Reader::Mix ? app::CustomLink::kMixMissingText
                                                     : app::CustomLink::kMissingText;
        ASSERT_EQ(told.size(), 1u) << describe();
        EXPECT_EQ(told[0].text, text);
        EXPECT_TRUE(told[0].detail.contains(QStringLiteral("could not be loaded")))
            << told[0].detail.toStdString();
        EXPECT_FALSE(sound().exists(customChannels().backgroundBuffer(1)));
        if (reader() == Reader::Mix) {
            EXPECT_TRUE(showsTheFile()) << "the rest of the mix is taken";
        }
        break;
    }
    }

    // Nothing the user had is lost: a refused settings file is moved aside
    // whole, anything else stays where it was.
    const bool movedAside = outcome == Outcome::Refused && reader() != Reader::Mix;
    if (m_before.kind != Snapshot::None) {
        EXPECT_EQ(snapshot(movedAside ? subject() + ".damaged" : subject()), m_before);
    }
    if (row() == Row::Unreadable || row() == Row::Folder || row() == Row::Fifo) {
        EXPECT_NE(m_before.kind, Snapshot::None);
    }

    // The console goes on: it closes, and starts again without the same
    // complaint about a settings file.
    console->lifecycle().requestExit();
    EXPECT_FALSE(console->isVisible());
    if (reader() == Reader::Mix || namedInNames()) {
        return;
    }
    console.reset();
    dialogs.clear();
    start();
    if (reader() == Reader::Recorder) {
        console->recordButton()->click();
    }
    EXPECT_EQ(dialogs.count(refusalText()), 0);
}

std::string rowName(Row row);
std::string readerName(Reader reader);
void PrintTo(Row row, std::ostream* out) {
    *out << rowName(row);
}
void PrintTo(Reader reader, std::ostream* out) {
    *out << readerName(reader);
}

std::string rowName(Row row) {
    static const char* names[] = {"Missing",
                                  "Empty",
                                  "OneByte",
                                  "TruncatedMidField",
                                  "BinaryNoise",
                                  "HundredMegabytesOfText",
                                  "ValidLineThenGarbage",
                                  "FieldOutOfRange",
                                  "WrongFieldCount",
                                  "LineFeedOnly",
                                  "CarriageReturnOnly",
                                  "NameWithDotDot",
                                  "NameWithSlash",
                                  "NameWithQuote",
                                  "NotWindows1252",
                                  "Folder",
                                  "Fifo",
                                  "Unreadable"};
    return names[static_cast<int>(row)];
}

std::string readerName(Reader reader) {
    static const char* names[] = {"SettingsIni", "Settings2Ini", "SettingscIni", "Settings9Txt",
                                  "MixFile",     "CustomSound",  "CustomPicture"};
    return names[static_cast<int>(reader)];
}

INSTANTIATE_TEST_SUITE_P(
    EveryReader, BadInputMatrix,
    ::testing::Combine(
        ::testing::Values(Reader::Settings, Reader::CustomNames, Reader::Panel, Reader::Recorder,
                          Reader::Mix, Reader::Sound, Reader::Picture),
        ::testing::Values(Row::Missing, Row::Empty, Row::OneByte, Row::TruncatedMidField,
                          Row::BinaryNoise, Row::HundredMegabytesOfText, Row::ValidLineThenGarbage,
                          Row::FieldOutOfRange, Row::WrongFieldCount, Row::LineFeedOnly,
                          Row::CarriageReturnOnly, Row::NameWithDotDot, Row::NameWithSlash,
                          Row::NameWithQuote, Row::NotWindows1252, Row::Folder, Row::Fifo,
                          Row::Unreadable)),
    [](const auto& param) {
        return readerName(std::get<0>(param.param)) + "_" + rowName(std::get<1>(param.param));
    });

} // namespace
} // namespace sylvaro::test
