// The built-in sounds. Field meanings are documented in Sound.h; designated
// initialisers must follow the declaration order there. The table is laid out by
// hand, a recipe to a few lines, so it is kept out of clang-format's way.
#include "Sound.h"

#include <utility>

namespace assetgen {

namespace {

using enum Timbre;
using enum Balance;

// A syllable whose pitch (as a ratio of the call's hz) runs from `from` up or down to
// `peak` at 40 % of its length and on to `to`; birds' notes are mostly such slurs.
Note slur(double seconds, double from, double peak, double to, double gap, double level = 1.0) {
    return {seconds, {{0.0, from}, {0.4, peak}, {1.0, to}}, gap, level};
}

// A copy of a reused call whose syllables vary (see Call::jitter).
Call jittered(Call call, double jitter) {
    call.jitter = jitter;
    return call;
}

// clang-format off

// Reused call shapes.
const Call kCricket{.hz = 4500, .partials = 2, .rolloff = 2, .attack = 0.003, .release = 0.006,
                    .seconds = 0.018, .syllables = 4, .gap = 0.016};
const Call kCrackle{.formantHz = 3200, .formantQ = 0.8, .attack = 0.0005, .release = 0.002,
                    .decay = 0.004, .seconds = 0.012};
const Call kRainDrop{.hz = 2200, .glide = {{0, 1}, {1, 1.5}}, .attack = 0.0005, .release = 0.004,
                     .decay = 0.004, .seconds = 0.015};
const Call kBubble{.hz = 600, .glide = {{0, 1}, {1, 2.2}}, .attack = 0.001, .release = 0.01,
                   .decay = 0.012, .seconds = 0.04};

// A wave breaking: it builds as it curls, crashes, and its wash darkens as it runs out.
const Call kBreaker{.formantHz = 1600, .formantTo = 450, .formantQ = 0.5, .attack = 0.7,
                    .release = 1.8, .decay = 1.6, .seconds = 5.5};
// The foam hissing back down the beach after a breaker.
const Call kFoam{.formantHz = 5500, .formantTo = 3000, .formantQ = 0.7, .attack = 1.0,
                 .release = 1.5, .decay = 1.2, .seconds = 4};
// A long wave's wash running up the sand and sliding back, steady for a while.
const Call kWash{.formantHz = 1000, .formantTo = 600, .formantQ = 0.8, .attack = 1.5,
                 .release = 2.0, .seconds = 7};

std::vector<Recipe> backgrounds() {
    return {
        // Fire Crackling: a soft, flickering roar; crackles come in little bursts,
        // now and then a log pops with a woody knock, and sap hisses.
        {.file = "fire.wav", .seconds = 20, .loop = true,
         .bed = {.level = 1, .lowHz = 35, .highHz = 420, .hiss = 0.08, .gust = 0.45, .gustHz = 0.25},
         .layers = {{.call = kCrackle, .level = 2, .perSecond = 12, .pitchSpread = 0.5,
                     .panSpread = 0.7},
                    {.call = {.formantHz = 2600, .formantQ = 1, .attack = 0.0005, .release = 0.002,
                              .decay = 0.003, .seconds = 0.008, .syllables = 6, .gap = 0.015,
                              .gapEnd = 0.07},
                     .level = 2.5, .perSecond = 1.8, .pitchSpread = 0.5, .panSpread = 0.6},
                    {.call = {.hz = 650, .timbre = Bar, .partials = 3, .noise = 0.6,
                              .formantHz = 1300, .formantQ = 0.9, .attack = 0.0005,
                              .release = 0.02, .decay = 0.018, .seconds = 0.07},
                     .level = 6, .perSecond = 0.5, .pitchSpread = 0.35, .panSpread = 0.5},
                    {.call = {.formantHz = 6500, .formantQ = 3, .vibratoHz = 0, .pulseHz = 7,
                              .pulse = 0.4, .attack = 0.3, .release = 0.6, .seconds = 1.6},
                     .level = 0.4, .perSecond = 0.1, .pitchSpread = 0.2}}},
        // Jungle: a dense chorus of pulsing insects, frogs croaking and clicking
        // nearby and birds whooping and whistling far off in the canopy.
        {.file = "swamp.wav", .seconds = 20, .loop = true,
         .bed = {.level = 0.4, .lowHz = 60, .highHz = 900, .gust = 0.3, .gustHz = 0.08},
         .layers = {{.call = {.hz = 4800, .partials = 2, .rolloff = 2, .pulseHz = 40, .pulse = 0.8,
                              .attack = 1.5, .release = 1.5, .seconds = 6},
                     .level = 0.35, .perSecond = 0.4, .pitchSpread = 0.08},
                    {.call = {.formantHz = 6500, .formantQ = 4, .pulseHz = 90, .pulse = 0.9,
                              .attack = 1, .release = 1.5, .seconds = 4},
                     .level = 0.5, .perSecond = 0.3, .pitchSpread = 0.1},
                    {.call = {.hz = 180, .glide = {{0, 0.9}, {1, 1.05}}, .partials = 8,
                              .rolloff = 1.2, .formantHz = 500, .formantQ = 2, .pulseHz = 28,
                              .pulse = 0.9, .attack = 0.02, .seconds = 0.35, .syllables = 2,
                              .gap = 0.25},
                     .level = 1.2, .perSecond = 0.5, .pitchSpread = 0.2},
                    {.call = {.hz = 900, .partials = 8, .formantHz = 1800, .formantQ = 2,
                              .pulseHz = 50, .pulse = 0.9, .attack = 0.01, .release = 0.02,
                              .seconds = 0.1, .syllables = 2, .gap = 0.05},
                     .level = 0.8, .perSecond = 1.2, .pitchSpread = 0.25},
                    {.call = {.hz = 2000, .partials = 2, .rolloff = 2, .attack = 0.02,
                              .release = 0.04,
                              .song = {slur(0.3, 0.8, 1.2, 1.0, 0.1), slur(0.2, 1.0, 1.3, 0.9, 0.1),
                                       slur(0.3, 0.9, 1.1, 0.7, 0.0)}},
                     .level = 0.5, .perSecond = 0.3, .pitchSpread = 0.2},
                    {.call = {.hz = 600, .glide = {{0, 0.8}, {1, 1.2}}, .partials = 3,
                              .rolloff = 2, .attack = 0.03, .release = 0.06, .seconds = 0.25,
                              .syllables = 4, .gap = 0.12, .step = 1.08},
                     .level = 0.5, .perSecond = 0.1, .pitchSpread = 0.1}},
         .reverb = 0.1, .reverbT60 = 1.8},
        // Cicada: a chorus of cicadas in the trees, swelling and ebbing, and one
        // close by whose buzz rises and falls.
        {.file = "cricket2.wav", .seconds = 20, .loop = true,
         .bed = {.level = 0.5, .lowHz = 3500, .highHz = 8000, .gust = 0.5, .gustHz = 0.1},
         .layers = {{.call = {.formantHz = 5200, .formantQ = 3, .pulseHz = 120, .pulse = 0.9,
                              .attack = 1.5, .release = 2, .seconds = 5},
                     .level = 1.2, .perSecond = 0.3, .pitchSpread = 0.1},
                    {.call = {.hz = 4400, .glide = {{0, 0.96}, {0.5, 1.03}, {1, 0.95}},
                              .noise = 0.6, .formantHz = 4800, .formantQ = 4, .pulseHz = 160,
                              .pulse = 1, .attack = 2, .release = 2.5, .seconds = 8},
                     .level = 1.5, .at = 4}}},
        // Surf: breakers roll in nine or ten seconds apart, big and smaller in
        // turn; each crashes, then its foam hisses back and darkens. A low roar and
        // the wash of the last wave lie under them.
        {.file = "ocean2.wav", .seconds = 28, .loop = true, .channels = 2,
         .bed = {.level = 0.45, .lowHz = 40, .highHz = 600},
         .layers = {{.call = kBreaker, .level = 4.5, .at = 0.3, .panSpread = 0.4},
                    {.call = kFoam, .level = 0.9, .at = 1.1, .panSpread = 0.9},
                    {.call = kBreaker, .level = 3.4, .at = 9.3, .notes = {1.2}, .panSpread = 0.6},
                    {.call = kFoam, .level = 0.75, .at = 10.1, .notes = {1.1}, .panSpread = 0.9},
                    {.call = kBreaker, .level = 4, .at = 19.2, .notes = {0.95}, .panSpread = 0.5},
                    {.call = kFoam, .level = 0.8, .at = 20, .notes = {0.9}, .panSpread = 0.9},
                    {.call = kWash, .level = 2.2, .at = 20.9, .panSpread = 0.3}},
         .reverb = 0.15, .reverbT60 = 2},
        // Hot Day: small waves lapping a lake shore on a still afternoon, with plops
        // of water among the pebbles.
        {.file = "waterlap_shore.wav", .seconds = 20, .loop = true,
         .bed = {.level = 0.5, .lowHz = 120, .highHz = 1200, .gust = 0.3, .gustHz = 0.1},
         .layers = {{.call = {.formantHz = 650, .formantTo = 380, .formantQ = 1.2, .attack = 0.08,
                              .release = 0.3, .decay = 0.35, .seconds = 0.9},
                     .level = 1.2, .perSecond = 0.9, .pitchSpread = 0.3},
                    {.call = {.formantHz = 2500, .formantTo = 1500, .formantQ = 0.8,
                              .attack = 0.1, .release = 0.4, .decay = 0.3, .seconds = 0.8},
                     .level = 0.35, .perSecond = 0.6, .pitchSpread = 0.3},
                    {.call = kBubble, .level = 2, .perSecond = 1, .pitchSpread = 0.5}},
         .reverb = 0.1},
        // River Birds: a river running over shallows, with a wren's trill, whistled
        // phrases and chirps from the banks, near enough to be heard over the water.
        {.file = "riverbrd.wav", .seconds = 20, .loop = true,
         .bed = {.level = 1, .lowHz = 200, .highHz = 4000, .gust = 0.1, .gustHz = 0.1},
         .layers = {{.call = {.hz = 700, .glide = {{0, 1}, {1, 1.6}}, .attack = 0.001,
                              .release = 0.008, .decay = 0.008, .seconds = 0.025},
                     .level = 0.4, .perSecond = 15, .pitchSpread = 0.5},
                    {.call = {.hz = 4500, .partials = 2, .rolloff = 2, .vibratoHz = 25,
                              .vibrato = 0.08, .pulseHz = 25, .pulse = 0.8, .attack = 0.05,
                              .release = 0.15, .seconds = 1.2},
                     .level = 0.7, .perSecond = 0.12, .pitchSpread = 0.1},
                    {.call = {.hz = 2800, .partials = 2, .rolloff = 2, .attack = 0.01,
                              .release = 0.03,
                              .song = {slur(0.15, 0.9, 1.15, 1.0, 0.06), slur(0.12, 1.1, 1.2, 0.85, 0.06),
                                       slur(0.2, 0.8, 1.0, 1.1, 0.0)}},
                     .level = 2, .perSecond = 0.2, .pitchSpread = 0.15},
                    {.call = {.hz = 3600, .partials = 3, .rolloff = 1.5, .attack = 0.004,
                              .release = 0.015,
                              .song = {slur(0.06, 0.85, 1.15, 0.8, 0.08), slur(0.05, 0.9, 1.2, 0.9, 0.1),
                                       slur(0.06, 0.85, 1.1, 0.75, 0.0)}},
                     .level = 2, .perSecond = 0.3, .pitchSpread = 0.15}},
         .reverb = 0.15},
        // Light rain: a soft hiss, fine drops pattering on leaves and now and then a
        // heavier drip from a branch.
        {.file = "ltrain.wav", .seconds = 20, .loop = true,
         .bed = {.level = 0.25, .lowHz = 700, .highHz = 9000, .gust = 0.15, .gustHz = 0.05},
         .layers = {{.call = kRainDrop, .level = 1.2, .perSecond = 70, .pitchSpread = 0.6},
                    {.call = {.formantHz = 2600, .formantQ = 1.5, .attack = 0.0005,
                              .release = 0.004, .decay = 0.003, .seconds = 0.012},
                     .level = 0.8, .perSecond = 30, .pitchSpread = 0.4},
                    {.call = {.hz = 1100, .glide = {{0, 1}, {1, 1.9}}, .attack = 0.001,
                              .release = 0.01, .decay = 0.015, .seconds = 0.05},
                     .level = 0.6, .perSecond = 1.2, .pitchSpread = 0.4}},
         .reverb = 0.15},
        // Steady rain with thunder rolling in the distance twice per loop.
        {.file = "thunder_rain.wav", .seconds = 22, .loop = true, .channels = 2,
         .bed = {.level = 0.25, .lowHz = 500, .highHz = 8000, .hiss = 0.1, .gust = 0.2,
                 .gustHz = 0.05},
         .layers = {{.call = kRainDrop, .level = 1.2, .perSecond = 60, .pitchSpread = 0.5,
                     .panSpread = 1},
                    {.call = {.formantHz = 60, .formantQ = 0.5, .pulseHz = 0.9, .pulse = 0.5,
                              .attack = 0.7, .release = 2.5, .decay = 2.2, .seconds = 7},
                     .level = 2.2, .at = 3, .panSpread = 0.5},
                    {.call = {.formantHz = 75, .formantQ = 0.5, .pulseHz = 1.3, .pulse = 0.6,
                              .attack = 0.4, .release = 2, .decay = 1.6, .seconds = 6},
                     .level = 1.6, .at = 15, .panSpread = 0.5},
                    {.call = {.formantHz = 140, .formantQ = 0.7, .attack = 0.15, .release = 0.3,
                              .decay = 0.3, .seconds = 0.9},
                     .level = 0.7, .at = 3.5, .perSecond = 1, .pitchSpread = 0.3,
                     .panSpread = 0.6, .within = 4}},
         .reverb = 0.2, .reverbT60 = 3},
        {.file = "night.wav", .seconds = 20, .loop = true,
         .bed = {.level = 0.6, .lowHz = 80, .highHz = 400, .swellHz = 0.2, .swell = 0.5},
         .layers = {{.call = {.hz = 3800, .partials = 2, .rolloff = 2, .attack = 0.003,
                              .release = 0.006, .seconds = 0.02, .syllables = 3, .gap = 0.02},
                     .level = 0.5, .perSecond = 1.2, .pitchSpread = 0.05, .panSpread = 0.8},
                    {.call = {.hz = 300, .partials = 5, .rolloff = 1.5, .pulseHz = 20,
                              .pulse = 0.8, .attack = 0.03, .release = 0.1, .seconds = 0.4},
                     .level = 0.3, .perSecond = 0.3, .pitchSpread = 0.1, .panSpread = 0.6}}},
        // SeaWind: a stiff wind off the sea, gusting and whistling now and then in
        // the rigging, spray hissing, and surf somewhere below.
        {.file = "wavdance.wav", .seconds = 20, .loop = true, .channels = 2,
         .bed = {.level = 1, .lowHz = 120, .highHz = 2500, .hiss = 0.35, .gust = 0.6,
                 .gustHz = 0.07},
         .layers = {{.call = {.formantHz = 850, .formantTo = 1150, .formantQ = 9, .attack = 1.5,
                              .release = 2, .seconds = 5},
                     .level = 0.5, .at = 2, .perSecond = 0.15, .pitchSpread = 0.2,
                     .panSpread = 0.8},
                    {.call = kBreaker, .level = 0.5, .at = 1, .perSecond = 0.15, .regular = true,
                     .notes = {0.8}, .panSpread = 0.5},
                    {.call = kFoam, .level = 0.2, .perSecond = 0.3, .pitchSpread = 0.3,
                     .panSpread = 1}}},
        // Gentle Sea: small waves slipping up the sand every four seconds or so and
        // fizzing back, over the sea's low murmur.
        {.file = "tidal.wav", .seconds = 20, .loop = true, .channels = 2,
         .bed = {.level = 0.4, .lowHz = 30, .highHz = 400, .gust = 0.2, .gustHz = 0.05},
         .layers = {{.call = {.formantHz = 900, .formantTo = 350, .formantQ = 0.6, .attack = 1.0,
                              .release = 1.6, .decay = 1.6, .seconds = 3.6},
                     .level = 2.5, .at = 0.2, .perSecond = 0.25, .regular = true,
                     .pitchSpread = 0.15, .panSpread = 0.7},
                    {.call = {.formantHz = 3500, .formantTo = 2200, .formantQ = 0.8, .attack = 0.6,
                              .release = 1.2, .decay = 0.9, .seconds = 2.4},
                     .level = 0.7, .at = 1.6, .perSecond = 0.25, .regular = true,
                     .pitchSpread = 0.2, .panSpread = 0.9},
                    {.call = kBubble, .level = 0.15, .perSecond = 6, .pitchSpread = 0.6,
                     .panSpread = 0.9}},
         .reverb = 0.1},
        // Meadow: wind in long grass, rising and falling in gusts, with a bee, a
        // grasshopper and small birds far off.
        {.file = "downpour.wav", .seconds = 20, .loop = true, .channels = 2,
         .bed = {.level = 1, .lowHz = 120, .highHz = 2200, .hiss = 0.35, .gust = 0.35,
                 .gustHz = 0.06},
         .layers = {{.call = {.hz = 4300, .glide = {{0, 0.9}, {0.5, 1.15}, {1, 1}}, .partials = 2,
                              .rolloff = 2, .attack = 0.005, .release = 0.02, .seconds = 0.07,
                              .syllables = 3, .gap = 0.06, .step = 1.05},
                     .level = 0.25, .perSecond = 0.35, .pitchSpread = 0.2, .panSpread = 0.9},
                    {.call = {.formantHz = 6000, .formantQ = 2, .attack = 0.002, .release = 0.01,
                              .seconds = 0.025, .syllables = 10, .gap = 0.03},
                     .level = 0.3, .perSecond = 0.15, .pitchSpread = 0.1, .panSpread = 0.8},
                    {.call = {.hz = 215, .partials = 14, .rolloff = 1.1, .vibratoHz = 3,
                              .vibrato = 0.02, .pulseHz = 1.5, .pulse = 0.4, .attack = 0.6,
                              .release = 0.8, .seconds = 3},
                     .level = 0.12, .perSecond = 0.08, .pitchSpread = 0.08, .panSpread = 0.7}},
         .reverb = 0.3},
        // Rain On Roof: dense patter on tiles, the hiss of the downpour beyond, and a
        // gutter dripping into a water butt.
        {.file = "rainroof.wav", .seconds = 20, .loop = true,
         .bed = {.level = 0.08, .lowHz = 900, .highHz = 7000, .gust = 0.15, .gustHz = 0.05},
         .layers = {{.call = {.formantHz = 2800, .formantQ = 1.5, .attack = 0.0005,
                              .release = 0.004, .decay = 0.003, .seconds = 0.015},
                     .level = 2.5, .perSecond = 80, .pitchSpread = 0.45, .panSpread = 1},
                    {.call = {.formantHz = 700, .formantQ = 1.2, .attack = 0.0005,
                              .release = 0.01, .decay = 0.008, .seconds = 0.03},
                     .level = 0.8, .perSecond = 25, .pitchSpread = 0.3, .panSpread = 1},
                    {.call = {.hz = 1200, .glide = {{0, 1}, {1, 1.7}}, .partials = 2,
                              .rolloff = 2, .attack = 0.001, .release = 0.02, .decay = 0.03,
                              .seconds = 0.08},
                     .level = 0.7, .perSecond = 1.3, .notes = {1, 1.06, 0.94}, .panSpread = 0.3}},
         .reverb = 0.12},
        // Water Flow: a brook over stones, its flow surging a little; gurgles and
        // glugs low down, a fine trickle on top.
        {.file = "flowater.wav", .seconds = 20, .loop = true,
         .bed = {.level = 0.5, .lowHz = 250, .highHz = 2600, .hiss = 0.15, .gust = 0.2,
                 .gustHz = 0.15},
         .layers = {{.call = kBubble, .level = 0.9, .perSecond = 45, .pitchSpread = 0.7,
                     .panSpread = 0.8},
                    {.call = {.hz = 260, .glide = {{0, 1}, {1, 1.8}}, .partials = 2, .rolloff = 2,
                              .attack = 0.003, .release = 0.02, .decay = 0.03, .seconds = 0.09},
                     .level = 1.2, .perSecond = 3, .pitchSpread = 0.4, .panSpread = 0.6},
                    {.call = {.hz = 1900, .glide = {{0, 1}, {1, 1.5}}, .attack = 0.001,
                              .release = 0.005, .decay = 0.006, .seconds = 0.02},
                     .level = 0.35, .perSecond = 35, .pitchSpread = 0.5, .panSpread = 1}}},
        // Crickets and katydids on a warm night: overlapping trills, steady chirps
        // and the odd rasp, all a little way off.
        {.file = "NEW.wav", .seconds = 20, .loop = true,
         .bed = {.level = 0.25, .lowHz = 80, .highHz = 500, .gust = 0.3, .gustHz = 0.05},
         .layers = {{.call = {.hz = 2900, .partials = 2, .rolloff = 2, .pulseHz = 42, .pulse = 0.9,
                              .attack = 0.6, .release = 0.8, .seconds = 5},
                     .level = 0.5, .perSecond = 0.5, .pitchSpread = 0.05},
                    {.call = kCricket, .level = 0.8, .perSecond = 1.5, .regular = true,
                     .notes = {0.93}},
                    {.call = kCricket, .level = 0.4, .at = 0.3, .perSecond = 1.1, .regular = true,
                     .notes = {1.08}},
                    {.call = {.formantHz = 7000, .formantQ = 3, .attack = 0.004, .release = 0.02,
                              .seconds = 0.05, .syllables = 3, .gap = 0.08},
                     .level = 0.6, .perSecond = 0.3, .pitchSpread = 0.1}},
         .reverb = 0.25},
        {.file = "jungle2.wav", .seconds = 20, .loop = true,
         .bed = {.level = 0.5, .lowHz = 100, .highHz = 3000, .swellHz = 0.25, .swell = 0.2},
         .layers = {{.call = {.hz = 5200, .partials = 2, .pulseHz = 60, .pulse = 0.9,
                              .attack = 0.3, .release = 0.4, .seconds = 1.5},
                     .level = 0.3, .perSecond = 0.6, .pitchSpread = 0.1, .panSpread = 1},
                    {.call = {.hz = 2400, .glide = {{0, 0.8}, {0.3, 1.3}, {1, 1}}, .partials = 3,
                              .rolloff = 1.5, .release = 0.03, .seconds = 0.15, .syllables = 2,
                              .gap = 0.08},
                     .level = 1, .perSecond = 0.8, .pitchSpread = 0.3, .panSpread = 1},
                    {.call = {.hz = 1100, .partials = 10, .rolloff = 0.8, .noise = 0.3,
                              .formantHz = 2000, .vibratoHz = 30, .vibrato = 0.05,
                              .seconds = 0.25},
                     .level = 0.8, .perSecond = 0.3, .pitchSpread = 0.1, .panSpread = 1},
                    {.call = {.hz = 500, .glide = {{0, 1}, {1, 1.5}}, .partials = 4,
                              .release = 0.04, .seconds = 0.2, .syllables = 4, .gap = 0.1,
                              .step = 1.06},
                     .level = 0.6, .perSecond = 0.15, .panSpread = 1}}},
        // A horse trotting on a lane.
        {.file = "horse1.wav", .seconds = 20, .loop = true,
         .bed = {.level = 0.25, .lowHz = 100, .highHz = 1500},
         .layers = {{.call = {.formantHz = 700, .formantQ = 2.5, .attack = 0.001, .decay = 0.012,
                              .seconds = 0.05, .syllables = 2, .gap = 0.11},
                     .level = 2, .perSecond = 1.6, .regular = true},
                    {.call = {.hz = 120, .attack = 0.001, .decay = 0.02, .seconds = 0.06,
                              .syllables = 2, .gap = 0.1},
                     .level = 1, .perSecond = 1.6, .regular = true}}},
        // The alarm bell: an electric bell's clapper strikes in a steady rhythm.
        {.file = "ringin1.wav", .seconds = 2, .loop = true,
         .layers = {{.call = {.hz = 1250, .timbre = Bar, .partials = 4, .rolloff = 0.4,
                              .attack = 0.0005, .release = 0.2, .decay = 0.06, .seconds = 0.3},
                     .level = 1, .perSecond = 18, .regular = true}},
         .balance = OneShot},
    };
}

// A cow's moo: the mouth opens from a hum to an "aw"; a second, narrow band lends
// it its nasal edge (see the Cows recipe).
const Call kMoo{.hz = 135, .glide = {{0, 0.85}, {0.25, 1.05}, {0.8, 1}, {1, 0.8}}, .partials = 30,
                .rolloff = 0.9, .noise = 0.1, .formantHz = 350, .formantTo = 800,
                .formantQ = 1.5, .attack = 0.2, .release = 0.4, .seconds = 1.9};
// A ship's horn reed: a sawtooth through a dark, wide band; two slightly apart beat.
// It sounds a prolonged blast, four to six seconds long.
const Call kHorn{.hz = 98, .glide = {{0, 0.97}, {0.06, 1}, {0.92, 1}, {1, 0.94}}, .partials = 40,
                 .rolloff = 1, .noise = 0.02, .formantHz = 380, .formantQ = 0.7,
                 .attack = 0.18, .release = 0.5, .seconds = 4.8};
// One note of an air horn, brighter than the ship's.
const Call kAirHorn{.hz = 233, .partials = 40, .rolloff = 0.8, .formantHz = 1200,
                    .formantQ = 0.7, .attack = 0.03, .release = 0.15, .seconds = 1.6};

// One pipe of a locomotive's chord whistle: breathy and reedy.
const Call kWhistle{.hz = 440, .glide = {{0, 0.97}, {0.08, 1}, {1, 0.99}}, .partials = 6,
                    .rolloff = 1.5, .noise = 0.2, .formantHz = 1200, .formantQ = 0.8,
                    .attack = 0.08, .release = 0.3, .seconds = 1.3};
// One bell of a tower clock's quarter chime.
const Call kChime{.hz = 415, .timbre = Bell, .partials = 9, .rolloff = 0.6, .attack = 0.003,
                  .release = 0.4, .decay = 1.2, .seconds = 2};
// The tower's hour bell, an octave and more below the quarter bells.
const Call kHourBell{.hz = 165, .timbre = Bell, .partials = 9, .rolloff = 0.5, .attack = 0.003,
                     .release = 0.8, .decay = 2.2, .seconds = 3.4};

std::vector<Recipe> oneShots() {
    return {
        // Leaf Borer: a beetle whirrs in, lands among dry leaves and chews at one.
        {.file = "NEW2.wav", .seconds = 2.4,
         .layers = {{.call = {.hz = 240, .glide = {{0, 0.9}, {0.6, 1.05}, {1, 0.95}},
                              .partials = 18, .rolloff = 1.1, .noise = 0.2, .formantHz = 1400,
                              .formantQ = 1, .vibratoHz = 6, .vibrato = 0.02, .attack = 0.3,
                              .release = 0.15, .seconds = 1},
                     .level = 0.7, .at = 0.05},
                    {.call = {.formantHz = 5000, .formantQ = 1.2, .attack = 0.002,
                              .release = 0.02, .decay = 0.03, .seconds = 0.08},
                     .level = 0.8, .at = 1.05, .perSecond = 9, .pitchSpread = 0.35, .within = 1.1}},
         .reverb = 0.02},
        // Night Crickets: two field crickets answering each other chirp for chirp,
        // one near, one further off and a little lower.
        {.file = "cricketnight.wav", .seconds = 2.4,
         .bed = {.level = 0.3, .lowHz = 80, .highHz = 500},
         .layers = {{.call = jittered(kCricket, 0.12), .level = 1.5, .at = 0.1, .perSecond = 2.5,
                     .regular = true, .notes = {0.95}, .within = 2.1},
                    {.call = jittered(kCricket, 0.12), .level = 0.6, .at = 0.31, .perSecond = 2.5,
                     .regular = true, .notes = {0.86}, .within = 2.1}}},
        // Frog: a tree frog's two-part "rib-bit", twice, over the night's hum. Each
        // part is a train of glottal pulses ringing in a band near 1.5 kHz.
        {.file = "cricketnight2.wav", .seconds = 2.0,
         .bed = {.level = 0.02, .lowHz = 100, .highHz = 400},
         .layers = {{.call = {.hz = 85, .partials = 40, .rolloff = 0.5, .formantHz = 1500,
                              .formantQ = 2.5, .attack = 0.008, .release = 0.02,
                              .song = {{0.1, {{0, 0.95}, {1, 1.05}}, 0.1, 0.85},
                                       {0.15, {{0, 1.0}, {1, 1.08}}, 0.55, 1.0},
                                       {0.1, {{0, 0.95}, {1, 1.05}}, 0.1, 0.8},
                                       {0.15, {{0, 1.0}, {1, 1.08}}, 0.0, 0.9}},
                              .jitter = 0.1},
                     .level = 4, .at = 0.15}}},
        // Egret and Shank share this one: a ringing, piping "tyew-hu-hu" from the
        // water's edge, twice, the second time a little further off.
        {.file = "bird1.wav", .seconds = 1.6,
         .layers = {{.call = {.hz = 2500, .partials = 2, .rolloff = 2.5, .vibratoHz = 28,
                              .vibrato = 0.006, .attack = 0.012, .release = 0.03,
                              .song = {slur(0.17, 1.12, 1.2, 0.85, 0.1),
                                       slur(0.09, 0.92, 0.98, 0.8, 0.09, 0.8),
                                       slur(0.09, 0.92, 0.98, 0.8, 0.3, 0.7),
                                       slur(0.16, 1.1, 1.18, 0.84, 0.1, 0.75),
                                       slur(0.09, 0.9, 0.96, 0.79, 0.09, 0.6),
                                       slur(0.09, 0.9, 0.96, 0.79, 0.0, 0.5)},
                              .jitter = 0.1},
                     .at = 0.06}},
         .reverb = 0.01, .reverbT60 = 1.2},
        // Thunder1: a near strike, the crack and its splintering, then the roll.
        {.file = "fishingreel.wav", .seconds = 5.5,
         .layers = {{.call = {.formantHz = 3000, .formantQ = 0.4, .attack = 0.001,
                              .release = 0.1, .decay = 0.06, .seconds = 0.4},
                     .level = 1, .at = 0.05},
                    {.call = {.formantHz = 1200, .formantQ = 0.6, .attack = 0.002,
                              .release = 0.05, .decay = 0.03, .seconds = 0.15},
                     .level = 0.6, .at = 0.08, .perSecond = 8, .pitchSpread = 0.4, .within = 0.6},
                    {.call = {.formantHz = 70, .formantQ = 0.5, .pulseHz = 1.3, .pulse = 0.6,
                              .attack = 0.08, .release = 1.2, .decay = 1.6, .seconds = 5.2},
                     .level = 1.4, .at = 0.1},
                    {.call = {.formantHz = 150, .formantQ = 0.7, .attack = 0.1, .release = 0.3,
                              .decay = 0.25, .seconds = 0.8},
                     .level = 0.8, .at = 0.4, .perSecond = 2, .pitchSpread = 0.4, .within = 3}},
         .reverb = 0.35, .reverbT60 = 3},
        // Thunder2: distant thunder, no crack, rolling on for seconds.
        {.file = "thunderrumble2.wav", .seconds = 7,
         .layers = {{.call = {.formantHz = 55, .formantQ = 1, .pulseHz = 0.8, .pulse = 0.5,
                              .attack = 0.9, .release = 2, .decay = 2.5, .seconds = 6.8},
                     .level = 1, .at = 0.1},
                    {.call = {.formantHz = 110, .formantQ = 1, .attack = 0.3, .release = 0.5,
                              .decay = 0.5, .seconds = 1.4},
                     .level = 0.6, .at = 0.6, .perSecond = 1.2, .pitchSpread = 0.3, .within = 4.5}},
         .reverb = 0.5, .reverbT60 = 3.5},
        // Sparrow: a run of bright, harmonic chirps, each a quick up-and-down slur,
        // in an uneven rhythm.
        {.file = "sparrow.wav", .seconds = 1.4,
         .layers = {{.call = {.hz = 3500, .partials = 4, .rolloff = 1.3, .formantHz = 4200,
                              .formantQ = 0.8, .vibratoHz = 90, .vibrato = 0.025, .attack = 0.004,
                              .release = 0.015,
                              .song = {slur(0.09, 0.8, 1.2, 0.78, 0.09),
                                       slur(0.07, 0.85, 1.25, 0.9, 0.12, 0.8),
                                       slur(0.1, 0.78, 1.15, 0.72, 0.07),
                                       slur(0.07, 0.85, 1.3, 0.95, 0.15, 0.7),
                                       slur(0.09, 0.8, 1.2, 0.78, 0.1, 0.9),
                                       slur(0.08, 0.85, 1.15, 0.7, 0.0, 0.75)},
                              .jitter = 0.1},
                     .at = 0.08}},
         .reverb = 0.01},
        // Sheep: a nasal "mbaa-aa" with the bleat's quaver, opening as it goes.
        {.file = "sheep.wav", .seconds = 1.3,
         .layers = {{.call = {.hz = 260, .glide = {{0, 0.95}, {0.15, 1.08}, {0.7, 1}, {1, 0.88}},
                              .partials = 30, .rolloff = 0.8, .noise = 0.12, .formantHz = 500,
                              .formantTo = 1100, .formantQ = 1.5, .vibratoHz = 11,
                              .vibrato = 0.045, .pulseHz = 11, .pulse = 0.3, .attack = 0.04,
                              .release = 0.3, .seconds = 1.0},
                     .at = 0.08},
                    {.call = {.hz = 260, .glide = {{0, 0.95}, {0.15, 1.08}, {0.7, 1}, {1, 0.88}},
                              .partials = 30, .rolloff = 0.8, .formantHz = 2300, .formantQ = 3,
                              .vibratoHz = 11, .vibrato = 0.045, .attack = 0.04, .release = 0.3,
                              .seconds = 1.0},
                     .level = 0.3, .at = 0.08}},
         .reverb = 0.1},
        // Jay: a harsh, tearing screech, then a shorter one.
        {.file = "bird.wav", .seconds = 1.3,
         .layers = {{.call = {.hz = 850, .partials = 20, .rolloff = 0.5, .noise = 0.55,
                              .formantHz = 2300, .formantTo = 1800, .formantQ = 0.9,
                              .vibratoHz = 85, .vibrato = 0.06, .pulseHz = 38, .pulse = 0.3,
                              .attack = 0.015, .release = 0.1,
                              .song = {slur(0.45, 0.9, 1.1, 0.85, 0.25),
                                       slur(0.33, 0.92, 1.08, 0.82, 0.0, 0.8)},
                              .jitter = 0.1},
                     .at = 0.05}},
         .reverb = 0.04},
        // Cormorant: guttural, croaking grunts from a rock above the swell.
        {.file = "seagulls_waves.wav", .seconds = 3,
         .bed = {.level = 0.2, .lowHz = 80, .highHz = 1200, .hiss = 0.5, .swellHz = 0.45,
                 .swell = 0.7, .sharpness = 2},
         .layers = {{.call = {.hz = 110, .partials = 30, .rolloff = 0.9, .noise = 0.6,
                              .formantHz = 600, .formantQ = 1.5, .pulseHz = 22, .pulse = 1,
                              .attack = 0.03, .release = 0.06,
                              .song = {slur(0.35, 0.95, 1.05, 0.9, 0.18),
                                       slur(0.25, 1.0, 1.1, 0.95, 0.15, 0.8),
                                       slur(0.4, 0.9, 1.0, 0.85, 0.0, 0.9)}},
                     .level = 4, .at = 0.4}}},
        // Barn Owl: a long, hoarse shriek, hissing more than singing, in the night air.
        {.file = "owl.wav", .seconds = 2,
         .layers = {{.call = {.hz = 1700, .glide = {{0, 0.92}, {0.3, 1.04}, {1, 0.9}},
                              .partials = 12, .rolloff = 0.7, .noise = 0.75, .formantHz = 3000,
                              .formantTo = 2400, .formantQ = 0.8, .vibratoHz = 22,
                              .vibrato = 0.03, .attack = 0.12, .release = 0.35, .seconds = 1.2},
                     .at = 0.1}},
         .reverb = 0.3, .reverbT60 = 2},
        // Tawny Owl: a long "hoo", a pause, a short "hu" and a long, quavering
        // "hoo-oo-oo" across the wood.
        {.file = "OWL2.wav", .seconds = 3.4,
         .layers = {{.call = {.hz = 380, .partials = 3, .rolloff = 2.5, .noise = 0.04,
                              .attack = 0.05, .release = 0.12,
                              .song = {{0.5, {{0, 0.96}, {0.2, 1.02}, {0.8, 1.0}, {1, 0.9}}, 0.55, 1.0},
                                       {0.12, {{0, 0.95}, {1, 0.9}}, 0.0, 0.6}}},
                     .at = 0.1},
                    {.call = {.hz = 370, .glide = {{0, 0.96}, {0.3, 1.02}, {1, 0.93}}, .partials = 3,
                              .rolloff = 2.5, .noise = 0.04, .vibratoHz = 9, .vibrato = 0.025,
                              .pulseHz = 9, .pulse = 0.45, .attack = 0.1, .release = 0.35,
                              .seconds = 1.3},
                     .level = 0.9, .at = 1.55}},
         .reverb = 0.35, .reverbT60 = 2.2},
        // Loon: the long, rising wail, echoing across a lake.
        {.file = "loon.wav", .seconds = 3.6,
         .layers = {{.call = {.hz = 620, .partials = 5, .rolloff = 1.6, .vibratoHz = 5.5,
                              .vibrato = 0.012, .attack = 0.2, .release = 0.25,
                              .song = {{0.9, {{0, 0.9}, {0.3, 1.0}, {1, 1.0}}, 0.05, 0.8},
                                       {1.1, {{0, 1.33}, {0.2, 1.38}, {1, 1.3}}, 0.05, 1.0},
                                       {0.6, {{0, 1.15}, {1, 1.05}}, 0.0, 0.8}}},
                     .at = 0.1}},
         .reverb = 0.4, .reverbT60 = 3},
        // Puppy: two high yips and a pleading whine.
        {.file = "PUPPY2.wav", .seconds = 1.5,
         .layers = {{.call = {.hz = 800, .partials = 12, .rolloff = 1, .noise = 0.2,
                              .formantHz = 1600, .formantQ = 1.2, .vibratoHz = 7,
                              .vibrato = 0.02, .attack = 0.008, .release = 0.05,
                              .song = {slur(0.12, 1.0, 1.4, 0.9, 0.15),
                                       slur(0.1, 1.0, 1.45, 0.85, 0.2, 0.9),
                                       {0.45, {{0, 1.3}, {0.5, 1.5}, {1, 1.1}}, 0.0, 0.6}},
                              .jitter = 0.1},
                     .at = 0.05}},
         .reverb = 0.03},
        // Starling: a medley of a slurred whistle, a clicking rattle and a wheeze.
        {.file = "bird3.wav", .seconds = 1.7,
         .layers = {{.call = {.hz = 3000, .partials = 2, .rolloff = 2, .attack = 0.01,
                              .release = 0.03,
                              .song = {slur(0.22, 0.7, 1.3, 1.2, 0.05),
                                       {0.28, {{0, 1.4}, {1, 0.6}}, 0.0, 0.9}}},
                     .at = 0.05},
                    {.call = {.formantHz = 5000, .formantQ = 2, .attack = 0.0005,
                              .release = 0.003, .decay = 0.004, .seconds = 0.01, .syllables = 9,
                              .gap = 0.018},
                     .level = 0.7, .at = 0.68},
                    {.call = {.hz = 2200, .glide = {{0, 0.9}, {1, 1.1}}, .partials = 6,
                              .noise = 0.3, .formantHz = 4000, .vibratoHz = 110, .vibrato = 0.08,
                              .attack = 0.05, .release = 0.08, .seconds = 0.38},
                     .level = 0.6, .at = 1.05},
                    {.call = {.hz = 4200, .partials = 2, .rolloff = 2, .attack = 0.003,
                              .release = 0.01,
                              .song = {slur(0.05, 0.9, 1.2, 1.0, 0.04), slur(0.05, 1.0, 1.3, 1.1, 0.0)}},
                     .level = 0.7, .at = 1.48}}},
        // Swallow: fast, liquid twittering that ends in a grating rattle.
        {.file = "bird4.wav", .seconds = 1.8,
         .layers = {{.call = {.hz = 4000, .partials = 2, .rolloff = 2, .vibratoHz = 60,
                              .vibrato = 0.02, .attack = 0.003, .release = 0.01,
                              .song = {slur(0.05, 0.8, 1.2, 1.0, 0.03), slur(0.04, 1.1, 1.3, 0.9, 0.04, 0.8),
                                       slur(0.06, 0.7, 1.0, 1.25, 0.02), slur(0.035, 1.2, 1.0, 0.8, 0.05, 0.7),
                                       slur(0.05, 0.9, 1.35, 1.1, 0.03, 0.9), slur(0.04, 0.75, 0.95, 0.7, 0.06, 0.8),
                                       slur(0.06, 1.0, 1.25, 0.85, 0.03), slur(0.04, 0.85, 1.15, 1.3, 0.04, 0.8),
                                       slur(0.05, 1.1, 0.9, 0.75, 0.03, 0.9), slur(0.045, 0.8, 1.2, 1.0, 0.0, 0.8)}},
                     .at = 0.06},
                    {.call = {.hz = 3200, .partials = 5, .rolloff = 1, .noise = 0.3,
                              .formantHz = 4500, .formantQ = 1.5, .pulseHz = 55, .pulse = 0.9,
                              .attack = 0.02, .release = 0.06, .seconds = 0.4},
                     .level = 0.6, .at = 0.95}}},
        // Wader: a small flock of waders piping as they wheel over the mud, with one
        // bubbling call rising through them.
        {.file = "birdies.wav", .seconds = 2.5,
         .layers = {{.call = {.hz = 4800, .glide = {{0, 0.9}, {0.5, 1.2}, {1, 1}}, .partials = 2,
                              .attack = 0.005, .release = 0.015, .seconds = 0.05,
                              .syllables = 2, .gap = 0.03, .jitter = 0.15},
                     .at = 0.05, .perSecond = 9, .pitchSpread = 0.25},
                    {.call = {.hz = 2400, .glide = {{0, 0.85}, {1, 1.15}}, .partials = 2,
                              .rolloff = 2, .vibratoHz = 18, .vibrato = 0.05, .pulseHz = 18,
                              .pulse = 0.6, .attack = 0.15, .release = 0.2, .seconds = 0.9},
                     .level = 0.7, .at = 0.8}},
         .reverb = 0.01},
        // Ships Horn: one deep blast from two slightly detuned reeds, echoing round
        // the harbour.
        {.file = "foghornwav.wav", .seconds = 6.6,
         .layers = {{.call = kHorn, .at = 0.1},
                    {.call = kHorn, .level = 0.8, .at = 0.1, .notes = {1.006}}},
         .reverb = 0.35, .reverbT60 = 3},
        // Cows: a long "mmoo-aaw", its mouth opening then closing, answered further off.
        {.file = "moo3.wav", .seconds = 3.6,
         .layers = {{.call = kMoo, .at = 0.1},
                    {.call = {.hz = 135, .glide = {{0, 0.85}, {0.25, 1.05}, {0.8, 1}, {1, 0.8}},
                              .partials = 30, .rolloff = 0.9, .formantHz = 1200, .formantTo = 1600,
                              .formantQ = 3, .attack = 0.25, .release = 0.4, .seconds = 1.9},
                     .level = 0.3, .at = 0.1},
                    {.call = kMoo, .level = 0.45, .at = 2.15, .notes = {0.84}}},
         .reverb = 0.15, .reverbT60 = 1.2},
        // Pine Borer: larvae ticking and gnawing inside a pine trunk.
        {.file = "WHISKEY.wav", .seconds = 2.6,
         .layers = {{.call = {.formantHz = 4200, .formantQ = 3, .attack = 0.0005,
                              .release = 0.003, .decay = 0.002, .seconds = 0.008},
                     .level = 1, .at = 0.1, .perSecond = 9, .pitchSpread = 0.3, .within = 2.3},
                    {.call = {.formantHz = 2200, .formantQ = 1.5, .pulseHz = 60, .pulse = 0.8,
                              .attack = 0.02, .release = 0.05, .seconds = 0.3, .syllables = 3,
                              .gap = 0.2, .step = 1.05},
                     .level = 0.5, .at = 0.7}},
         .reverb = 0.15, .reverbT60 = 0.6},
        // Grassdart: a dragonfly darts past, its wing buzz rising and falling.
        {.file = "car2.wav", .seconds = 2,
         .layers = {{.call = {.hz = 38, .glide = {{0, 1.12}, {0.45, 1.08}, {0.55, 0.92}, {1, 0.88}},
                              .partials = 40, .rolloff = 0.9, .noise = 0.3, .formantHz = 1500,
                              .formantTo = 700, .formantQ = 0.9, .attack = 0.6, .release = 0.7,
                              .seconds = 1.7},
                     .level = 1, .at = 0.1}},
         .reverb = 0.1},
        // Crow: three hoarse, rasping caws, the last the longest.
        {.file = "crowcaw.wav", .seconds = 1.7,
         .layers = {{.call = {.hz = 540, .partials = 24, .rolloff = 0.6, .noise = 0.35,
                              .formantHz = 1500, .formantTo = 1100, .formantQ = 1.2,
                              .vibratoHz = 62, .vibrato = 0.05, .pulseHz = 45, .pulse = 0.35,
                              .attack = 0.02, .release = 0.08,
                              .song = {slur(0.32, 0.92, 1.05, 0.88, 0.2),
                                       slur(0.3, 0.94, 1.06, 0.87, 0.22, 0.9),
                                       slur(0.38, 0.9, 1.02, 0.82, 0.0, 0.85)},
                              .jitter = 0.1},
                     .at = 0.05}},
         .reverb = 0.01, .reverbT60 = 1.6},
        // Bullfrog: a bout of deep "jug-o-rum" croaks across the pond, each a train
        // of glottal pulses ringing in the throat's low band and the eardrums' high
        // one, no two alike, the last ones shorter as the frog tires.
        {.file = "bullfrog.wav", .seconds = 6.6,
         .layers = {{.call = {.hz = 100, .partials = 40, .rolloff = 0.7, .noise = 0.04,
                              .formantHz = 210, .formantQ = 1.5, .formant2Hz = 1250,
                              .formant2Q = 2.5, .formant2Level = 1, .attack = 0.04,
                              .release = 0.1,
                              .song = {slur(0.6, 0.95, 1.03, 0.97, 0.6),
                                       slur(0.7, 0.96, 1.04, 0.98, 0.65, 0.95),
                                       slur(0.65, 0.95, 1.02, 0.96, 0.7, 0.9),
                                       slur(0.55, 0.94, 1.01, 0.95, 0.75, 0.8),
                                       slur(0.5, 0.93, 1.0, 0.94, 0.0, 0.7)},
                              .jitter = 0.08},
                     .at = 0.1}},
         .reverb = 0.1},
        // Dog Barking: three gruff barks in a yard, the second softer.
        {.file = "dogbark1.wav", .seconds = 1.6,
         .layers = {{.call = {.hz = 360, .partials = 18, .rolloff = 0.9, .noise = 0.35,
                              .formantHz = 1000, .formantQ = 1.2, .attack = 0.004,
                              .release = 0.06,
                              .song = {slur(0.17, 1.1, 1.3, 0.75, 0.22),
                                       slur(0.15, 1.1, 1.28, 0.75, 0.5, 0.8),
                                       slur(0.18, 1.12, 1.3, 0.72, 0.0, 0.95)},
                              .jitter = 0.1},
                     .at = 0.05}},
         .reverb = 0.01},
        // Leafroller: a caterpillar rolling a leaf, crisp rustles and little snips.
        {.file = "rooster.wav", .seconds = 2.2,
         .layers = {{.call = {.formantHz = 4500, .formantQ = 0.8, .attack = 0.01, .release = 0.04,
                              .decay = 0.05, .seconds = 0.12},
                     .level = 1, .at = 0.1, .perSecond = 6, .pitchSpread = 0.3, .within = 1.8},
                    {.call = {.hz = 5200, .timbre = Bar, .partials = 2, .attack = 0.0005,
                              .release = 0.005, .decay = 0.004, .seconds = 0.015, .syllables = 4,
                              .gap = 0.18},
                     .level = 0.5, .at = 0.4}}},
        // Branchcutter: a twig snaps, splinters, and bits drop into the leaves.
        {.file = "corkpop.wav", .seconds = 1.3,
         .layers = {{.call = {.hz = 420, .timbre = Bar, .partials = 3, .noise = 0.6,
                              .formantHz = 2000, .formantQ = 1.2, .attack = 0.0005,
                              .release = 0.02, .decay = 0.015, .seconds = 0.08},
                     .level = 1, .at = 0.05},
                    {.call = {.formantHz = 3500, .formantQ = 2, .attack = 0.0005, .release = 0.004,
                              .decay = 0.003, .seconds = 0.01},
                     .level = 0.9, .at = 0.07, .perSecond = 25, .pitchSpread = 0.4, .within = 0.25},
                    {.call = {.formantHz = 2800, .formantQ = 0.8, .attack = 0.002, .release = 0.04,
                              .decay = 0.04, .seconds = 0.1},
                     .level = 0.6, .at = 0.4, .perSecond = 6, .pitchSpread = 0.3, .within = 0.6}},
         .reverb = 0.05},
        // Clock Chimes: a tower clock's four-note quarter chime, a pause, then the
        // hour bell strikes twice, each blow of the hammer a little different.
        {.file = "BIGBEN.wav", .seconds = 8,
         .layers = {{.call = kChime, .at = 0.05},
                    {.call = kChime, .level = 0.93, .at = 0.7, .notes = {0.891}},
                    {.call = kChime, .level = 0.97, .at = 1.36, .notes = {0.794}},
                    {.call = kChime, .level = 1.1, .at = 2.02, .notes = {0.595}},
                    {.call = kHourBell, .level = 1.3, .at = 3.6},
                    {.call = kHourBell, .level = 1.05, .at = 5.62}},
         .reverb = 0.25, .reverbT60 = 2.5},
        // Cuckoo: a hollow "cu-coo", the second note a third below the first, twice,
        // never quite the same.
        {.file = "cuckoo.wav", .seconds = 2.5,
         .layers = {{.call = {.hz = 680, .timbre = Odd, .partials = 3, .rolloff = 2.5,
                              .attack = 0.025, .release = 0.07,
                              .song = {{0.16, {{0, 1.01}, {1, 0.98}}, 0.2, 1.0},
                                       {0.3, {{0, 0.82}, {1, 0.79}}, 0.6, 0.85},
                                       {0.16, {{0, 1.01}, {1, 0.98}}, 0.2, 0.95},
                                       {0.3, {{0, 0.82}, {1, 0.79}}, 0.0, 0.8}},
                              .jitter = 0.06},
                     .at = 0.1}},
         .reverb = 0.03, .reverbT60 = 0.8},
        // Lacewing: the soft flutter of gauzy wings passing close, twice.
        {.file = "ambulance.wav", .seconds = 2.4,
         .layers = {{.call = {.formantHz = 2400, .formantQ = 2, .pulseHz = 24, .pulse = 0.85,
                              .attack = 0.3, .release = 0.35, .seconds = 0.9, .syllables = 2,
                              .gap = 0.3, .step = 1.2},
                     .level = 1, .at = 0.1},
                    {.call = {.hz = 96, .partials = 10, .rolloff = 1.5, .pulseHz = 24, .pulse = 0.7,
                              .attack = 0.3, .release = 0.35, .seconds = 0.9, .syllables = 2,
                              .gap = 0.3, .step = 1.2},
                     .level = 0.5, .at = 0.1}}},
        // Boat Creak: a moored hull groans as it rolls, its mooring rope creaks
        // tight, and water slaps against the planks.
        {.file = "boatcreak.wav", .seconds = 2.4,
         .bed = {.level = 0.05, .lowHz = 100, .highHz = 900, .swellHz = 0.8, .swell = 0.6},
         .layers = {{.call = {.hz = 55, .glide = {{0, 0.7}, {0.5, 1.3}, {1, 0.9}}, .partials = 40,
                              .rolloff = 0.5, .formantHz = 900, .formantTo = 700,
                              .formantQ = 4, .vibratoHz = 13, .vibrato = 0.08, .attack = 0.1,
                              .release = 0.15, .seconds = 0.7, .syllables = 2, .gap = 0.25,
                              .step = 1.1},
                     .at = 0.1},
                    {.call = {.hz = 120, .glide = {{0, 0.8}, {0.6, 1.3}, {1, 1.2}}, .partials = 40,
                              .rolloff = 0.4, .formantHz = 1800, .formantQ = 6, .vibratoHz = 21,
                              .vibrato = 0.1, .attack = 0.06, .release = 0.12, .seconds = 0.5},
                     .level = 0.6, .at = 1.75}}},
        // Birds Wings: a pigeon claps off a branch and whirrs away.
        {.file = "birdflap.wav", .seconds = 1.4,
         .layers = {{.call = {.formantHz = 1000, .formantQ = 0.6, .attack = 0.003, .release = 0.02,
                              .decay = 0.025,
                              .song = {{0.07, {}, 0.1, 1.0}, {0.07, {}, 0.09, 1.0},
                                       {0.06, {}, 0.07, 0.9}, {0.06, {}, 0.06, 0.8},
                                       {0.05, {}, 0.05, 0.7}, {0.05, {}, 0.045, 0.6},
                                       {0.05, {}, 0.04, 0.5}, {0.05, {}, 0.04, 0.4},
                                       {0.05, {}, 0.04, 0.3}, {0.05, {}, 0.04, 0.22},
                                       {0.05, {}, 0.0, 0.15}}},
                     .at = 0.05}},
         .reverb = 0.03},
        // Cicada: one cicada winding up to a loud, ratcheting buzz and running down.
        {.file = "CICADA3.wav", .seconds = 3.4,
         .layers = {{.call = {.hz = 5200, .glide = {{0, 0.9}, {0.3, 1.02}, {0.8, 1}, {1, 0.92}},
                              .noise = 0.7, .formantHz = 5200, .formantQ = 4, .pulseHz = 180,
                              .pulse = 1, .attack = 0.9, .release = 0.8, .seconds = 3.1},
                     .at = 0.1},
                    {.call = {.formantHz = 4300, .formantQ = 3, .pulseHz = 7, .pulse = 0.9,
                              .attack = 0.4, .release = 0.6, .seconds = 1.6},
                     .level = 0.5, .at = 0.3}}},
        // Seagulls: a gull's long, wailing "kyaaow" then a run of shorter "kyow"s.
        {.file = "seagull2.wav", .seconds = 2,
         .layers = {{.call = {.hz = 1200, .partials = 8, .rolloff = 1.1, .noise = 0.12,
                              .formantHz = 2000, .formantQ = 1.2, .attack = 0.02, .release = 0.06,
                              .song = {slur(0.4, 1.0, 1.2, 0.75, 0.12),
                                       slur(0.18, 1.0, 1.15, 0.8, 0.08, 0.9),
                                       slur(0.17, 1.0, 1.15, 0.8, 0.08, 0.85),
                                       slur(0.16, 1.0, 1.12, 0.8, 0.08, 0.75),
                                       slur(0.15, 1.0, 1.1, 0.8, 0.0, 0.65)},
                              .jitter = 0.1},
                     .at = 0.05}},
         .reverb = 0.01},
        // Horse: a shuddering whinny falling away, then a snort.
        {.file = "horse.wav", .seconds = 2.4,
         .layers = {{.call = {.hz = 900, .glide = {{0, 0.9}, {0.1, 1.3}, {0.4, 1.1}, {1, 0.5}},
                              .partials = 10, .rolloff = 1.2, .noise = 0.2, .formantHz = 1600,
                              .vibratoHz = 13, .vibrato = 0.08, .pulseHz = 13, .pulse = 0.4,
                              .attack = 0.05, .release = 0.4, .seconds = 1.6},
                     .at = 0.1},
                    {.call = {.formantHz = 450, .formantQ = 0.7, .attack = 0.02, .decay = 0.08,
                              .seconds = 0.18, .syllables = 2, .gap = 0.06},
                     .level = 0.6, .at = 1.85}},
         .reverb = 0.15},
        // RailRoad: a train whistles its chord in the distance, then its wheels
        // clatter over the rail joints, "da-dum, da-dum", and fade.
        {.file = "railroad.wav", .seconds = 5.5,
         .layers = {{.call = kWhistle, .at = 0.1},
                    {.call = kWhistle, .level = 0.8, .at = 0.1, .notes = {1.26}},
                    {.call = kWhistle, .level = 0.7, .at = 0.1, .notes = {1.5}},
                    {.call = {.formantHz = 900, .formantQ = 1.8, .attack = 0.001, .release = 0.02,
                              .decay = 0.012, .seconds = 0.05,
                              .song = {{0.05, {}, 0.09, 1.0}, {0.05, {}, 0.22, 0.9},
                                       {0.05, {}, 0.09, 0.9}, {0.05, {}, 0.22, 0.8},
                                       {0.05, {}, 0.09, 0.8}, {0.05, {}, 0.22, 0.7},
                                       {0.05, {}, 0.09, 0.7}, {0.05, {}, 0.22, 0.55},
                                       {0.05, {}, 0.09, 0.5}, {0.05, {}, 0.22, 0.4},
                                       {0.05, {}, 0.09, 0.35}, {0.05, {}, 0.0, 0.25}}},
                     .level = 0.8, .at = 1.6}},
         .reverb = 0.05, .reverbT60 = 2},
        // Nightingale: a crescendo of pure piping notes, a rapid "chook" rattle, a
        // warbled whistle and a falling flourish.
        {.file = "nightengale.wav", .seconds = 3.2,
         .layers = {{.call = {.hz = 1800, .partials = 2, .rolloff = 2.5, .attack = 0.02,
                              .release = 0.03,
                              .song = {slur(0.12, 0.9, 1.0, 1.05, 0.1, 0.3),
                                       slur(0.12, 0.9, 1.0, 1.05, 0.1, 0.45),
                                       slur(0.12, 0.9, 1.0, 1.05, 0.1, 0.6),
                                       slur(0.12, 0.9, 1.0, 1.05, 0.1, 0.8),
                                       slur(0.14, 0.9, 1.0, 1.08, 0.0, 1.0)},
                              .jitter = 0.1},
                     .at = 0.08},
                    {.call = {.hz = 1400, .glide = {{0, 1.4}, {1, 0.8}}, .partials = 5,
                              .rolloff = 1.2, .attack = 0.002, .release = 0.008, .seconds = 0.025,
                              .syllables = 14, .gap = 0.024, .jitter = 0.25},
                     .level = 0.8, .at = 1.35},
                    {.call = {.hz = 4200, .glide = {{0, 0.9}, {1, 1.05}}, .vibratoHz = 34,
                              .vibrato = 0.08, .attack = 0.05, .release = 0.06, .seconds = 0.45},
                     .level = 0.8, .at = 2.1},
                    {.call = {.hz = 3600, .partials = 2, .attack = 0.004, .release = 0.012,
                              .song = {slur(0.06, 1.1, 1.2, 1.0, 0.04),
                                       slur(0.06, 0.95, 1.05, 0.88, 0.04, 0.9),
                                       slur(0.06, 0.85, 0.92, 0.76, 0.04, 0.8),
                                       slur(0.09, 0.75, 0.8, 0.6, 0.0, 0.7)},
                              .jitter = 0.1},
                     .level = 0.9, .at = 2.6}},
         .reverb = 0.01, .reverbT60 = 1.5},
        // Motor Boat: an outboard putters past, its pitch and brightness rising as
        // it comes and falling as it goes.
        {.file = "outboard2.wav", .seconds = 5,
         .bed = {.level = 0.2, .lowHz = 300, .highHz = 2500},
         .layers = {{.call = {.hz = 46, .glide = {{0, 0.92}, {0.45, 1.08}, {0.55, 1.0}, {1, 0.9}},
                              .partials = 40, .rolloff = 0.6, .noise = 0.3, .formantHz = 600,
                              .formantTo = 900, .formantQ = 0.7, .vibratoHz = 3,
                              .vibrato = 0.02, .pulseHz = 23, .pulse = 0.5, .attack = 1.6,
                              .release = 1.8, .seconds = 4.6},
                     .level = 2.5, .at = 0.15}},
         .reverb = 0.03},
        // Blue Tail: water dripping from leaves into a pool, each drop's bubble
        // ringing up in pitch, no two alike, at uneven times.
        {.file = "DRIPS.wav", .seconds = 3,
         .layers = {{.call = {.hz = 900, .attack = 0.001, .release = 0.01, .decay = 0.03,
                              .song = {{0.1, {{0, 1}, {1, 2.1}}, 0.32, 1.0},
                                       {0.1, {{0, 1.25}, {1, 2.5}}, 0.5, 0.8},
                                       {0.1, {{0, 0.9}, {1, 1.9}}, 0.22, 0.9},
                                       {0.1, {{0, 1.4}, {1, 2.6}}, 0.45, 0.7},
                                       {0.1, {{0, 1.1}, {1, 2.2}}, 0.3, 0.85},
                                       {0.1, {{0, 0.95}, {1, 2.0}}, 0.0, 0.75}},
                              .jitter = 0.15},
                     .at = 0.1}}},
        // Ships Horn2: a brassy two-note air horn.
        {.file = "boatairhorn2.wav", .seconds = 2.4,
         .layers = {{.call = kAirHorn, .at = 0.1},
                    {.call = kAirHorn, .level = 0.6, .at = 0.1, .notes = {1.008}},
                    {.call = kAirHorn, .level = 0.8, .at = 0.1, .notes = {1.26}}},
         .reverb = 0.25, .reverbT60 = 2},
    };
}

// Examples for the custom panel, in sounds/: two backgrounds and a random sound.
std::vector<Recipe> examples() {
    return {
        // Wind chimes in a soft breeze.
        {.file = "sounds/windchimes.wav", .seconds = 20, .loop = true,
         .bed = {.level = 0.4, .lowHz = 100, .highHz = 800, .gust = 0.3, .gustHz = 0.08},
         .layers = {{.call = {.hz = 1320, .timbre = Bar, .partials = 4, .attack = 0.002,
                              .release = 0.3, .decay = 0.7, .seconds = 2.5},
                     .level = 1.2, .perSecond = 0.9, .notes = {1, 1.125, 1.25, 1.5, 1.667, 2},
                     .panSpread = 0.9}},
         .reverb = 0.2},
        // A brook over stones: a brighter, busier cousin of Water Flow.
        {.file = "sounds/brook.wav", .seconds = 20, .loop = true,
         .bed = {.level = 0.8, .lowHz = 500, .highHz = 5000, .gust = 0.15, .gustHz = 0.1},
         .layers = {{.call = kBubble, .level = 0.7, .perSecond = 40, .pitchSpread = 0.8},
                    {.call = {.hz = 1400, .glide = {{0, 1}, {1, 1.6}}, .attack = 0.001,
                              .release = 0.006, .decay = 0.006, .seconds = 0.02},
                     .level = 0.4, .perSecond = 30, .pitchSpread = 0.5}}},
        // A woodpecker drumming on a dead branch.
        {.file = "sounds/woodpecker.wav", .seconds = 2,
         .layers = {{.call = {.hz = 520, .timbre = Bar, .partials = 3, .noise = 0.4,
                              .formantHz = 1200, .attack = 0.0005, .release = 0.01,
                              .decay = 0.012, .seconds = 0.03, .syllables = 18, .gap = 0.03,
                              .gapEnd = 0.045},
                     .at = 0.1}},
         .reverb = 0.25},
    };
}

std::vector<Recipe> interfaceSounds() {
    return {
        // Stands in where no sound is wanted.
        {.file = "BLANK.WAV", .seconds = 0.5},
        // Soft ticks for the skinned buttons: hovering, then pressing.
        {.file = "resources/over.wav", .seconds = 0.035,
         .layers = {{.call = {.hz = 2400, .attack = 0.0005, .release = 0.005, .decay = 0.006,
                              .seconds = 0.03}}},
         .balance = Quiet, .peakDb = -14},
        {.file = "resources/click.wav", .seconds = 0.05,
         .layers = {{.call = {.hz = 700, .noise = 0.3, .formantHz = 1500, .attack = 0.0005,
                              .release = 0.01, .decay = 0.008, .seconds = 0.045}}},
         .balance = Quiet, .peakDb = -10},
    };
}

// clang-format on

} // namespace

const std::vector<Recipe>& soundRecipes() {
    static const std::vector<Recipe> all = [] {
        std::vector<Recipe> recipes = backgrounds();
        for (auto* group : {oneShots, examples, interfaceSounds}) {
            for (Recipe& r : group()) {
                recipes.push_back(std::move(r));
            }
        }
        return recipes;
    }();
    return all;
}

} // namespace assetgen
