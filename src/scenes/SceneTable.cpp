#include "SceneTable.h"

#include "console/Layout.h"

#include <algorithm>

namespace sylvaro::scenes {

namespace {

// Background channels: 1 Fire Crackling, 2 Jungle, 4 Surf, 5 Hot Day, 7 Light
// Rain, 8 Thunder, 9 Night, 10 SeaWind, 11 Gentle Sea, 12 Meadow, 13 Rain On
// Roof, 14 Water Flow, 15 Night Insects.
constexpr int kStormBoxes[] = {7, 8, 15};
constexpr SceneChannel kStorm[] = {{1, 4, 1000}, {1, 5, 1000}, {2, 18, 1920}};

constexpr int kJungleBoxes[] = {2};
constexpr SceneChannel kJungle[] = {{1, 0, 1900},  {1, 1, 1950}, {2, 0, 1950}, {2, 1, 1950},
                                    {2, 3, 1950},  {2, 5, 1920}, {2, 6, 1940}, {2, 11, 1900},
                                    {2, 12, 1920}, {2, 16, 1965}};

constexpr int kTropicalBoxes[] = {5, 11};
constexpr SceneChannel kTropical[] = {{1, 0, 1900},  {1, 2, 1900},  {1, 9, 1900},
                                      {1, 18, 1900}, {2, 3, 1880},  {2, 5, 1880},
                                      {2, 6, 1930},  {2, 13, 1870}, {2, 19, 1920}};

constexpr int kSummerBoxes[] = {5, 12};
constexpr SceneChannel kSummer[] = {{1, 0, 1900},  {1, 3, 1900},  {1, 6, 1870},  {1, 7, 1850},
                                    {1, 8, 1900},  {1, 14, 1900}, {1, 15, 1850}, {1, 16, 1900},
                                    {1, 17, 1850}, {2, 0, 1920},  {2, 5, 1920},  {2, 9, 1880},
                                    {2, 11, 1880}, {2, 16, 1880}, {2, 18, 1900}};

constexpr int kStreamBoxes[] = {12, 14};
constexpr SceneChannel kStream[] = {
    {1, 3, 1900}, {1, 6, 1900}, {1, 14, 1880}, {1, 16, 1860}, {2, 18, 1900}};

constexpr int kDownpourBoxes[] = {13, 15};
constexpr SceneChannel kDownpour[] = {{1, 0, 1900}, {1, 1, 1900},  {1, 3, 1900},  {1, 12, 1870},
                                      {2, 5, 1920}, {2, 11, 1900}, {2, 16, 1900}, {2, 18, 1910}};

constexpr int kNightBoxes[] = {9, 15};
constexpr SceneChannel kNight[] = {{1, 0, 1900}, {1, 11, 1900}, {1, 14, 1900}, {1, 15, 1950},
                                   {2, 0, 1900}, {2, 1, 1900},  {2, 5, 1900},  {2, 6, 1900},
                                   {2, 9, 1850}, {2, 10, 1920}, {2, 11, 1960}, {2, 16, 1870}};

constexpr int kFiresideBoxes[] = {1};
constexpr SceneChannel kFireside[] = {{1, 2, 1975}, {1, 10, 1800}, {1, 14, 1960},
                                      {2, 0, 1900}, {2, 6, 1900},  {2, 11, 1900}};

constexpr int kWoodlandBoxes[] = {12, 15};
constexpr SceneChannel kWoodland[] = {{1, 1, 1800},  {1, 6, 1800},  {1, 10, 1900}, {1, 12, 1700},
                                      {1, 14, 1920}, {1, 15, 1920}, {1, 16, 1900}, {2, 2, 1900},
                                      {2, 3, 1850},  {2, 8, 1900},  {2, 11, 1920}, {2, 16, 1880},
                                      {2, 18, 1850}};

constexpr int kCountryBoxes[] = {12};
constexpr SceneChannel kCountry[] = {{2, 1, 1900},  {2, 2, 1950},  {2, 4, 1900},  {2, 5, 1920},
                                     {2, 12, 1870}, {2, 14, 1950}, {2, 16, 1960}, {2, 18, 1920}};

constexpr int kDawnBoxes[] = {12};
constexpr SceneChannel kDawn[] = {{1, 6, 1900},  {1, 8, 1900},  {1, 12, 1900}, {1, 14, 1920},
                                  {1, 15, 1920}, {1, 16, 1920}, {1, 17, 1900}, {2, 2, 1900},
                                  {2, 8, 1900},  {2, 13, 1980}, {2, 16, 1900}, {2, 18, 1900}};

constexpr int kCoastBoxes[] = {4, 10, 12};
constexpr SceneChannel kCoast[] = {{1, 9, 1900}, {2, 10, 1900}, {2, 13, 1900}};

const Scene kScenes[] = {
    {"Storm", 0x000040, 0xFFFFFF, -1483, -1125, kStormBoxes, kStorm, "lightning.jpg", true},
    {"Jungle", 0x004000, 0xC0FFC0, -1466, -1807, kJungleBoxes, kJungle, "sunsetwood.jpg", true},
    {"Tropical", 0x8080FF, 0x000000, -1466, -1057, kTropicalBoxes, kTropical, "sunset.jpg", true},
    {"Summer", 0x004000, 0xFFFFFF, -1466, -1807, kSummerBoxes, kSummer, "countrylane.jpg", true},
    {"Stream", 0x8080FF, 0xFFFFFF, -1483, -1125, kStreamBoxes, kStream, "autumnstream.jpg", true},
    {"Downpour", 0x808080, 0xFFFFFF, -1466, -1057, kDownpourBoxes, kDownpour, "raindrops.jpg",
     true},
    {"Night", 0x000040, 0xFFFFFF, -1466, -1807, kNightBoxes, kNight, "sunsetboat.jpg", true},
    {"Fireside", 0x404040, 0xFFC080, -1398, -392, kFiresideBoxes, kFireside, "firepic.gif", true},
    {"Woodland", 0x400000, 0xFFFFFF, -1466, -1807, kWoodlandBoxes, kWoodland, "colouredleaves.jpg",
     false},
    {"Country", 0x004000, 0xFFFFFF, -2063, -567, kCountryBoxes, kCountry, "englishsheep.jpg", true},
    {"Dawn", 0x804040, 0xFFFFFF, -1466, -1142, kDawnBoxes, kDawn, "thunder.gif", true},
    {"Coast", 0x8080FF, 0xFFFFC0, -1466, -1807, kCoastBoxes, kCoast, "riverpool.jpg", true},
};

constexpr std::string_view kIcons[] = {
    "storm.png", "jungle.png",   "tropical.png", "summer.png",  "stream.png", "downpour.png",
    "night.png", "fireside.png", "woodland.png", "country.png", "dawn.png",   "coast.png"};

} // namespace

int Scene::frequency(int bank, int slot) const {
    const auto it = std::find_if(channels.begin(), channels.end(), [&](const SceneChannel& c) {
        return c.bank == bank && c.slot == slot;
    });
    return it == channels.end() ? console::kFrequencyOff : it->value;
}

bool Scene::boxOn(int channel) const {
    return std::find(boxes.begin(), boxes.end(), channel) != boxes.end();
}

std::string_view Scene::icon() const {
    return kIcons[static_cast<std::size_t>(this - kScenes)];
}

std::span<const Scene> all() {
    return kScenes;
}

const Scene* find(std::string_view caption) {
    for (const Scene& s : kScenes) {
        if (s.caption == caption) {
            return &s;
        }
    }
    return nullptr;
}

QStringList captions() {
    QStringList list;
    for (const Scene& s : kScenes) {
        list << QString::fromUtf8(s.caption.data(), static_cast<qsizetype>(s.caption.size()));
    }
    return list;
}

QString unknownSceneText(const QString& name) {
    return QStringLiteral("there is no scene called \"%1\" (the scenes are %2)")
        .arg(name, captions().join(QStringLiteral(", ")));
}

const Scene* findByName(const QString& name) {
    const QStringList list = captions();
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].compare(name.trimmed(), Qt::CaseInsensitive) == 0) {
            return &kScenes[i];
        }
    }
    return nullptr;
}

int gridIndex(const Scene* scene) {
    if (!scene) {
        return -1;
    }
    const auto at = std::find(kGridOrder.begin(), kGridOrder.end(), scene->caption);
    return at == kGridOrder.end() ? -1 : static_cast<int>(at - kGridOrder.begin());
}

const Scene* atGrid(int index) {
    if (index < 0 || index >= static_cast<int>(kGridOrder.size())) {
        return nullptr;
    }
    return find(kGridOrder[static_cast<std::size_t>(index)]);
}

} // namespace sylvaro::scenes
