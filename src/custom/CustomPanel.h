#pragma once

#include "persist/CustomPanelSettings.h"

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace sylvaro::core {
class AppDir;
class Dialogs;
} // namespace sylvaro::core
namespace sylvaro::engine {
class SoundEngine;
}
namespace sylvaro::widgets {
class TrackSlider;
}

namespace sylvaro::custom {

class CustomChannels;
class FilePicker;
class SoundDecoder;
class SoundPreview;

// What the custom panel works with.
struct CustomPanelParts {
    const core::AppDir& dir;
    CustomChannels& channels;
    SoundDecoder& decoder;
    engine::SoundEngine& engine;
    core::Dialogs& dialogs;
    // The console's background colour, in the stored form.
    std::function<std::int32_t()> backColour;
    // Shows a picture of images/ in the console; false when it cannot.
    std::function<bool(const QString& name)> showPicture;
    // Opens a folder in the desktop's file manager.
    std::function<void(const QString& path)> openFolder;
};

// The modeless "Select A Custom File" window (`custom`): the captions of the
// six custom sound slots, the enable boxes of the two custom backgrounds,
// the frequency sliders of the four custom random sounds, the choose
// buttons that open the file picker, and the custom reset. Its selections
// are what settingsc.ini holds. UI thread only.
class CustomPanel : public QWidget {
    Q_OBJECT
public:
    explicit CustomPanel(CustomPanelParts parts, QWidget* parent = nullptr);
    ~CustomPanel() override;

    // Applies a stored selection in its own order, each control with its
    // change action: enable boxes, background labels, sliders, random labels.
    void apply(const persist::CustomPanelSettings& settings);
    persist::CustomPanelSettings capture() const;

    // The console's switch-off: both backgrounds unticked, the four
    // sliders off. Names and labels stay.
    void switchOff();
    // "Custom Reset": asks, then forgets every custom selection. False when
    // the user said no.
    bool resetAll();
    // A choose button: the picker for slot `key` ("back1", "back2",
    // "rand1", "rand2", "rand3", "randp4" or "image"), modal.
    void choose(const QString& key);
    // Tests drive the modal picker through this instead of its event loop.
    void setPickerRunner(std::function<void(FilePicker&)> run) { m_runPicker = std::move(run); }

    // Takes the console's background colour again.
    void followConsoleColour() { paintBackground(); }
    // Shows which file each slot has (the label boxes are the user's own
    // captions and say nothing of it).
    void showFileNames();

    QLineEdit* labelBox(int textIndex) const; // Text1..Text6
    QCheckBox* enableBox(int n) const { return m_enable[static_cast<std::size_t>(n - 1)]; }
    widgets::TrackSlider* frequencySlider(int n) const {
        return m_frequency[static_cast<std::size_t>(n - 1)];
    }
    QLabel* nameLabel(int index) const { return m_names[static_cast<std::size_t>(index)]; }
    QLabel* note() const { return m_note; }
    QPushButton* closeButton() const { return m_close; }
    SoundPreview& preview() { return *m_preview; }

    static const QString kTitle;
    static const QString kResetText;
    static const QString kResetTitle;
    static const QString kNotSet;

Q_SIGNALS:
    // Closed by the window manager rather than "Close": the selections are
    // to be stored now.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildSelectGroup();
    QWidget* buildEnableGroup();
    void paintBackground();
    void say(const QString& text);
    void onLabelEdited(int textIndex, const QString& text);

    CustomPanelParts m_parts;
    std::unique_ptr<SoundPreview> m_preview;
    std::array<QLineEdit*, 6> m_labels{};               // Text1..Text6
    std::array<QCheckBox*, 2> m_enable{};               // Check1, Check2
    std::array<widgets::TrackSlider*, 4> m_frequency{}; // HScroll1..HScroll4
    std::array<QLabel*, 4> m_names{};                   // captions of the random sliders
    std::array<QPushButton*, 7> m_choose{};             // by slot: back1, back2, rand1..4, image
    QLabel* m_note = nullptr;
    QPushButton* m_close = nullptr;
    bool m_closingByButton = false;
    std::function<void(FilePicker&)> m_runPicker;
};

} // namespace sylvaro::custom
