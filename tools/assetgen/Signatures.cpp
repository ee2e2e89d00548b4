// The signature of each built-in sound: what a field recording of the real thing
// shows, with the source of the figures above each record. Figures are rounded
// outward to what recordings of the species or thing commonly span, not to one
// individual. Laid out by hand, a record to a few lines.
#include "Signature.h"

namespace assetgen {

namespace {

// clang-format off

std::vector<Signature> backgrounds() {
    return {
        // Fire: broadband crackles, a few to a few dozen a second, louder pops from
        // the logs now and then, over a low roar of the flames below 500 Hz.
        // Source: A. Farnell, Designing Sound (MIT Press 2010), "Fire" practical:
        // crackling, hissing and lapping components.
        {.file = "fire.wav", .caption = "Fire Crackling",
         .bands = {{30, 500, {0.25, 1}}, {2000, 12000, {0.01, 0.5}}},
         .impacts = {{.loHz = 2000, .hiHz = 12000, .riseDb = 10, .rangeDb = 30, .perSecond = {2, 40}},
                     {.loHz = 300, .hiHz = 3000, .riseDb = 12, .rangeDb = 10, .perSecond = {0.1, 3}}}},
        // Tropical night chorus: pulsed insects above 3 kHz, frogs and birds below.
        // Source: B. Krause, The Great Animal Orchestra (2012): biophony fills
        // distinct bands; tropical katydid and cicada pulse rates of tens to hundreds
        // per second (Walker & Moore, Singing Insects of North America).
        {.file = "swamp.wav", .caption = "Jungle",
         .bands = {{3000, 9000, {0.03, 0.9}}, {100, 3000, {0.1, 0.97}}},
         .pulseHz = {20, 200}, .pulseLoHz = 4000, .pulseHiHz = 9000, .pulseStrength = 0.15,
         .impacts = {{.loHz = 1200, .hiHz = 3000, .riseDb = 8, .rangeDb = 25, .perSecond = {0.3, 8}}}},
        // Cicada chorus: the tymbal's clicks at 100-500 per second on a carrier of
        // 3-8 kHz. Source: D. Young & H. Bennet-Clark, "The role of the tymbal in
        // cicada sound production", J. Exp. Biol. 198 (1995).
        {.file = "cricket2.wav", .caption = "Cicada",
         .bands = {{3000, 9000, {0.6, 1}}},
         .peakHz = {3000, 8000},
         .pulseHz = {90, 500}, .pulseLoHz = 3000, .pulseHiHz = 9000, .pulseStrength = 0.15},
        // Surf: ocean swell breaks every 8-14 s (the swell periods of open coasts).
        // Source: US Army Corps of Engineers, Shore Protection Manual (1984), ch. 3:
        // swell periods of 8-16 s, wind sea shorter.
        {.file = "ocean2.wav", .caption = "Surf",
         .bands = {{40, 8000, {0.95, 1}}},
         .swellSeconds = {8, 14}, .swellDb = 6},
        // Lake shore on a still day: small wind waves lap at 1-3 s periods, with
        // plops among the stones. Source: Shore Protection Manual (1984), ch. 3:
        // fetch-limited waves on small water bodies have periods of 1-3 s.
        {.file = "waterlap_shore.wav", .caption = "Hot Day",
         .bands = {{100, 1500, {0.6, 1}}},
         .impacts = {{.loHz = 150, .hiHz = 1200, .riseDb = 6, .rangeDb = 15, .perSecond = {0.3, 2}}}},
        // River with birds: broadband water noise 0.2-4 kHz, songbird notes above
        // 2.5 kHz every few seconds. Source: Krause (2012); songbird notes 2-8 kHz
        // (C. Catchpole & P. Slater, Bird Song, 2nd ed. 2008, ch. 1).
        {.file = "riverbrd.wav", .caption = "River Birds",
         .bands = {{200, 4000, {0.5, 1}}},
         .impacts = {{.loHz = 2500, .hiHz = 8000, .riseDb = 8, .rangeDb = 20, .perSecond = {0.2, 6}}}},
        // Light rain: a broadband hiss made of drop impacts, mostly above 1 kHz,
        // tens of audible drops a second. Source: Farnell, Designing Sound (2010),
        // "Rain" practical; drop sizes after Marshall & Palmer, J. Meteor. 5 (1948).
        {.file = "ltrain.wav", .caption = "Light Rain",
         .bands = {{1000, 12000, {0.6, 1}}},
         .impacts = {{.loHz = 1000, .hiHz = 12000, .riseDb = 4, .rangeDb = 20, .perSecond = {10, 200}}}},
        // Rain with thunder: the drops as above, and rolls of thunder whose power
        // lies mostly below 200 Hz. Source: A. Few, "Power spectrum of thunder",
        // J. Geophys. Res. 74 (1969): spectra peaking well below 200 Hz.
        {.file = "thunder_rain.wav", .caption = "Thunder",
         .bands = {{20, 200, {0.1, 0.9}}, {1000, 12000, {0.1, 0.9}}},
         .impacts = {{.loHz = 1000, .hiHz = 12000, .riseDb = 4, .rangeDb = 20, .perSecond = {10, 200}}}},
        // Summer night: field crickets chirp 1-3 times a second, each chirp 3-5
        // pulses at 25-35 per second on a 3-5 kHz carrier. Source: R. Alexander,
        // "Evolutionary change in cricket acoustical communication", Evolution 16
        // (1962); Walker & Moore, Singing Insects of North America.
        {.file = "night.wav", .caption = "Night",
         .peakHz = {3000, 5500}, .peakSearch = {1000, 12000},
         .pulseHz = {20, 40}, .pulseLoHz = 3000, .pulseHiHz = 5500, .pulseStrength = 0.1,
         .impacts = {{.loHz = 3000, .hiHz = 5500, .riseDb = 8, .rangeDb = 25, .perSecond = {0.5, 6}}}},
        // Wind off the sea: broadband roar that rises and falls in gusts lasting a
        // few seconds, several per minute. Source: WMO Guide to Meteorological
        // Instruments (No. 8), gusts as 3 s peaks; gust intervals of several seconds
        // to tens of seconds.
        {.file = "wavdance.wav", .caption = "SeaWind",
         .bands = {{100, 3000, {0.5, 1}}},
         .swellSeconds = {3, 20}, .swellDb = 3},
        // Gentle sea: short waves lapping a sheltered beach every 2.5-7 s. Source:
        // Shore Protection Manual (1984), ch. 3: wind-sea periods of a few seconds.
        {.file = "tidal.wav", .caption = "Gentle Sea",
         .bands = {{30, 8000, {0.95, 1}}},
         .swellSeconds = {2.5, 7}, .swellDb = 3},
        // Meadow: wind in grass rising and falling in gusts, a bee's hum at 150-250
        // Hz, grasshoppers and birds. Sources: WMO No. 8 (gusts); O. Sotavalta, "The
        // flight-tone (wing-stroke frequency) of insects", Acta Entomol. Fenn. 4
        // (1947): honeybee about 230 Hz, bumblebees 130-200 Hz.
        {.file = "downpour.wav", .caption = "Meadow",
         .bands = {{100, 2500, {0.5, 1}}},
         .swellSeconds = {3, 20}, .swellDb = 3},
        // Rain on a roof: a dense patter of impacts, hundreds a second, mostly
        // between 1 and 8 kHz. Source: Farnell, Designing Sound (2010), "Rain".
        {.file = "rainroof.wav", .caption = "Rain On Roof",
         .bands = {{800, 10000, {0.6, 1}}},
         .impacts = {{.loHz = 1000, .hiHz = 10000, .riseDb = 4, .rangeDb = 20, .perSecond = {20, 400}}}},
        // Brook: bubbles ringing at their Minnaert frequency (3.26 kHz over the
        // radius in mm: 0.3-3 kHz for the 1-10 mm bubbles of a stream), tens a
        // second. Sources: M. Minnaert, Phil. Mag. 16 (1933); Farnell (2010), "Water".
        {.file = "flowater.wav", .caption = "Water Flow",
         .bands = {{250, 3500, {0.5, 1}}},
         .impacts = {{.loHz = 300, .hiHz = 3500, .riseDb = 4, .rangeDb = 20, .perSecond = {10, 200}}}},
        // Night insects: crickets' chirps and trills on 2.5-5 kHz carriers, trill
        // pulse rates of 15-80 per second, katydid rasps higher up. Source: Walker &
        // Moore, Singing Insects of North America.
        {.file = "NEW.wav", .caption = "Night Insects",
         .bands = {{2000, 9000, {0.4, 1}}},
         .peakHz = {2500, 5500}, .peakSearch = {1000, 12000},
         .pulseHz = {15, 80}, .pulseLoHz = 2500, .pulseHiHz = 5500, .pulseStrength = 0.1},
    };
}

std::vector<Signature> randomSounds() {
    return {
        // Beetle: a flight buzz at the wing-beat rate (beetles 50-250 Hz, Sotavalta
        // 1947), then chewing: trains of short broadband clicks, 1-10 kHz. Source:
        // R. Mankin et al., "Perspective and promise: a century of insect acoustic
        // detection and monitoring", Am. Entomol. 57 (2011).
        {.file = "NEW2.wav", .caption = "Leaf Borer",
         .reading = {.loHz = 80, .hiHz = 2000, .dropDb = 15, .mergeGap = 0.1, .shortest = 0.3},
         .notes = {1, 1}, .noteSeconds = {0.4, 1.6},
         .pulseHz = {50, 250}, .pulseStrength = 0.3,
         .impacts = {{.loHz = 1500, .hiHz = 10000, .riseDb = 10, .rangeDb = 25, .count = {4, 40}}}},
        // Field crickets: chirps of 3-5 pulses, 0.06-0.2 s long, at 25-35 pulses a
        // second on a 4-5 kHz carrier. Sources: Alexander (1962); Walker & Moore.
        {.file = "cricketnight.wav", .caption = "Night Crickets",
         .reading = {.loHz = 3000, .hiHz = 6000, .dropDb = 25, .mergeGap = 0.035, .shortest = 0.03},
         .notes = {3, 12}, .noteSeconds = {0.05, 0.2}, .varied = true,
         .peakHz = {3500, 5500}, .peakSearch = {1000, 12000},
         .pulseHz = {22, 40}, .pulseLoHz = 3000, .pulseHiHz = 6000, .pulseStrength = 0.3},
        // Tree frog: a two-syllable "rib-bit", each syllable 0.05-0.25 s of pulses at 50-120
        // per second, dominant 1-2.5 kHz. Source: L. Elliott, C. Gerhardt & C.
        // Davidson, The Frogs and Toads of North America (2009), Pacific chorus frog.
        {.file = "cricketnight2.wav", .caption = "Frog",
         .reading = {.loHz = 600, .hiHz = 3000, .dropDb = 20, .mergeGap = 0.03, .shortest = 0.04},
         .notes = {2, 6}, .noteSeconds = {0.05, 0.25}, .varied = true,
         .peakHz = {900, 2500}, .peakSearch = {300, 6000},
         .pulseHz = {45, 120}, .pulseLoHz = 600, .pulseHiHz = 3000, .pulseStrength = 0.3},
        // Redshank: a ringing, falling "tyeu-hu-hu", notes 0.05-0.25 s at 2-4 kHz,
        // each sliding down. Source: L. Svensson et al., Collins Bird Guide (2nd ed.
        // 2009): "tyeu-hu-hu"; pitch from the xeno-canto archive's spectrograms.
        {.file = "bird1.wav", .caption = "Shank and Egret",
         .reading = {.loHz = 1500, .hiHz = 6000, .dropDb = 25},
         .notes = {3, 8}, .noteSeconds = {0.05, 0.25}, .gapSeconds = {0.02, 0.5}, .varied = true,
         .pitchHz = {1800, 4000}, .glide = {0.6, 0.98}},
        // Thunder, near: a sharp crack (broadband, above 1 kHz) then a roll of
        // several seconds with its power below 200 Hz. Source: Few (1969);
        // H. Bass, "The propagation of thunder through the atmosphere", JASA 67 (1980).
        {.file = "fishingreel.wav", .caption = "Thunder1",
         .reading = {.loHz = 20, .hiHz = 250, .dropDb = 25, .mergeGap = 0.6, .shortest = 0.5},
         .notes = {1, 2}, .noteSeconds = {2, 6},
         .bands = {{20, 250, {0.3, 0.95}}},
         .peakHz = {25, 150},
         .impacts = {{.loHz = 1000, .hiHz = 10000, .riseDb = 15, .rangeDb = 10, .count = {1, 6}}}},
        // Thunder, distant: no crack (the high frequencies are absorbed over
        // distance), a long low roll. Source: Few (1969); Bass (1980).
        {.file = "thunderrumble2.wav", .caption = "Thunder2",
         .reading = {.loHz = 20, .hiHz = 250, .dropDb = 25, .mergeGap = 0.6, .shortest = 0.5},
         .notes = {1, 2}, .noteSeconds = {3, 7},
         .bands = {{20, 250, {0.6, 1}}, {2000, 20000, {0, 0.02}}},
         .peakHz = {25, 120}},
        // House sparrow: a run of "cheep" chirps, 0.05-0.15 s each, irregularly
        // spaced, slurred up and down through 2.5-6 kHz. Source: Collins Bird Guide
        // (2009); pitch from the Macaulay Library's spectrograms.
        {.file = "sparrow.wav", .caption = "Sparrow",
         .reading = {.loHz = 2000, .hiHz = 9000, .dropDb = 25},
         .notes = {3, 10}, .noteSeconds = {0.04, 0.16}, .gapSeconds = {0.03, 0.4}, .varied = true,
         .pitchHz = {2500, 6500}, .noteSweep = {1.1, 2}},
        // Sheep: a bleat of 0.5-1.5 s at a fundamental of 150-350 Hz with a tremolo.
        // Source: A. Searby & P. Jouventin, "Mother-lamb acoustic recognition in
        // sheep: a frequency coding", Proc. R. Soc. B 270 (2003).
        {.file = "sheep.wav", .caption = "Sheep",
         .reading = {.dropDb = 20, .mergeGap = 0.1, .shortest = 0.2},
         .notes = {1, 2}, .noteSeconds = {0.5, 1.5},
         .pitchHz = {150, 350}},
        // Eurasian jay: a harsh, tearing "kschaach", 0.2-0.6 s, noisy power spread
        // over 1-5 kHz. Source: Collins Bird Guide (2009).
        {.file = "bird.wav", .caption = "Jay",
         .reading = {.dropDb = 20, .mergeGap = 0.05, .shortest = 0.1},
         .notes = {1, 3}, .noteSeconds = {0.2, 0.6}, .varied = true,
         .bands = {{1000, 5000, {0.5, 1}}}},
        // Cormorant: guttural grunts and croaks, 0.15-0.6 s, below 1 kHz, pulsed.
        // Source: Collins Bird Guide (2009): "deep, guttural calls at the colony".
        {.file = "seagulls_waves.wav", .caption = "Cormorant",
         .reading = {.loHz = 80, .hiHz = 1000, .dropDb = 12, .mergeGap = 0.08, .shortest = 0.1},
         .notes = {2, 6}, .noteSeconds = {0.15, 0.6}, .varied = true,
         .pulseHz = {10, 40}, .pulseLoHz = 80, .pulseHiHz = 1000, .pulseStrength = 0.2},
        // Barn owl: one drawn-out, hoarse shriek of about 1-2.5 s, noisy, 1-8 kHz.
        // Sources: Collins Bird Guide (2009); M. Konishi, "How the owl tracks its
        // prey", Am. Sci. 61 (1973).
        {.file = "owl.wav", .caption = "Barn Owl",
         .reading = {.dropDb = 20, .mergeGap = 0.1, .shortest = 0.3},
         .notes = {1, 1}, .noteSeconds = {0.8, 2.5},
         .bands = {{1000, 8000, {0.7, 1}}},
         .peakHz = {1500, 6000}},
        // Tawny owl: a long "hoo", a pause, a short "hu" and a long quavering
        // "hoo-oo-oo" at 300-550 Hz. Source: Collins Bird Guide (2009); fundamental
        // from the xeno-canto archive's spectrograms.
        {.file = "OWL2.wav", .caption = "Tawny Owl",
         .reading = {.loHz = 200, .hiHz = 800, .dropDb = 20, .mergeGap = 0.05, .shortest = 0.05},
         .notes = {3, 6}, .gapSeconds = {0.02, 2},
         .pitchHz = {300, 550}},
        // Common loon: the wail, 1-3 long notes, the second jumping up (a fifth or
        // more), fundamental 0.5-1.3 kHz. Sources: J. McIntyre, The Common Loon:
        // Spirit of Northern Lakes (1988); D. Sibley, The Sibley Guide to Birds (2000).
        {.file = "loon.wav", .caption = "Loon",
         .reading = {.loHz = 400, .hiHz = 2000, .dropDb = 15, .mergeGap = 0.02, .shortest = 0.3},
         .notes = {2, 4}, .noteSeconds = {0.4, 2},
         .pitchHz = {450, 1300}, .steps = {{1.15, 1.7}}},
        // Puppy: short high yips of 0.06-0.2 s and a whine, fundamental 0.5-1.5 kHz.
        // Source: S. Yin, "A new perspective on barking in dogs", J. Comp. Psychol.
        // 116 (2002); puppies' calls lie well above adults'.
        {.file = "PUPPY2.wav", .caption = "Puppy",
         .reading = {.dropDb = 20, .mergeGap = 0.04, .shortest = 0.05},
         .notes = {2, 5}, .noteSeconds = {0.06, 0.6}, .varied = true,
         .pitchHz = {500, 1800}},
        // Starling: a medley of slurred whistles, clicks and wheezes, all in 1-8 kHz.
        // Source: Collins Bird Guide (2009); M. Eens, "Understanding the complex song
        // of the European starling", Adv. Study Behav. 26 (1997).
        {.file = "bird3.wav", .caption = "Starling",
         .reading = {.loHz = 1000, .hiHz = 9000, .dropDb = 25, .mergeGap = 0.03, .shortest = 0.03},
         .notes = {3, 12}, .varied = true,
         .bands = {{1000, 9000, {0.85, 1}}},
         .impacts = {{.loHz = 4000, .hiHz = 9000, .riseDb = 10, .rangeDb = 30, .count = {4, 30}}}},
        // Barn swallow: fast twittering notes of 0.02-0.12 s at 2.5-7 kHz, ending in
        // a grating rattle. Source: Collins Bird Guide (2009): "ends with a grating
        // rattle".
        {.file = "bird4.wav", .caption = "Swallow",
         .reading = {.loHz = 2000, .hiHz = 9000, .dropDb = 25, .mergeGap = 0.015, .shortest = 0.02},
         .notes = {6, 20}, .noteSeconds = {0.02, 0.5}, .varied = true,
         .pitchHz = {2500, 7000}},
        // Waders: a flock's short piping notes at 3-6 kHz and a bubbling call.
        // Source: Collins Bird Guide (2009), e.g. dunlin and ringed plover calls.
        {.file = "birdies.wav", .caption = "Wader",
         .reading = {.loHz = 2000, .hiHz = 9000, .dropDb = 25, .mergeGap = 0.015, .shortest = 0.02},
         .notes = {5, 40}, .varied = true,
         .bands = {{2000, 8000, {0.7, 1}}},
         .peakHz = {2500, 6500}},
        // Ship's whistle: a prolonged blast of 4-6 s; a ship of 200 m or more sounds
        // a fundamental of 70-200 Hz. Source: COLREGs (1972), Rule 32 and Annex III.
        {.file = "foghornwav.wav", .caption = "Ships Horn",
         .reading = {.dropDb = 20, .mergeGap = 0.2, .shortest = 0.5},
         .notes = {1, 1}, .noteSeconds = {4, 6},
         .pitchHz = {70, 200}, .partials = {2, 3}},
        // Cow: a moo of 1-3 s, fundamental 80-200 Hz, the mouth opening then closing.
        // Source: J. Watts & J. Stookey, "Vocal behaviour in cattle", Appl. Anim.
        // Behav. Sci. 67 (2000).
        {.file = "moo3.wav", .caption = "Cows",
         .reading = {.dropDb = 25, .mergeGap = 0.1, .shortest = 0.3},
         .notes = {1, 3}, .noteSeconds = {0.8, 3},
         .pitchHz = {80, 200}},
        // Wood-boring larvae: feeding clicks of 1-10 ms, broadband 1-10 kHz, in
        // trains of a few to tens a second. Source: Mankin et al. (2011).
        {.file = "WHISKEY.wav", .caption = "Pine Borer",
         .bands = {{1000, 10000, {0.7, 1}}},
         .impacts = {{.loHz = 1000, .hiHz = 10000, .riseDb = 10, .rangeDb = 25, .perSecond = {2, 30}}}},
        // Dragonfly: the wing beat at 25-45 per second throbbing in its buzz as it
        // darts past. Sources: Sotavalta (1947); G. Rüppell, "Kinematic analysis of
        // symmetrical flight manoeuvres of Odonata", J. Exp. Biol. 144 (1989).
        {.file = "car2.wav", .caption = "Grassdart",
         .reading = {.dropDb = 20, .mergeGap = 0.1, .shortest = 0.3},
         .notes = {1, 1}, .noteSeconds = {0.5, 2},
         .pulseHz = {25, 45}, .pulseStrength = 0.3},
        // American crow: 2-6 caws of 0.15-0.45 s, harsh, fundamental 400-800 Hz.
        // Source: D. Sibley, The Sibley Guide to Birds (2000); Macaulay Library.
        {.file = "crowcaw.wav", .caption = "Crow",
         .reading = {.loHz = 300, .hiHz = 4000, .dropDb = 20, .mergeGap = 0.05, .shortest = 0.1},
         .notes = {2, 6}, .noteSeconds = {0.15, 0.45}, .gapSeconds = {0.1, 0.6}, .varied = true,
         .bands = {{400, 4000, {0.7, 1}}}},
        // American bullfrog: a series of 3-8 croaks of 0.4-1.2 s with silences
        // between, each a train of glottal pulses at about 100 per second with two
        // spectral peaks, near 200 Hz and 1-1.5 kHz. Source: R. Capranica, The Evoked
        // Vocal Response of the Bullfrog (MIT Press 1965).
        {.file = "bullfrog.wav", .caption = "Bullfrog",
         .reading = {.loHz = 80, .hiHz = 2000, .dropDb = 20, .mergeGap = 0.1, .shortest = 0.2},
         .notes = {3, 8}, .noteSeconds = {0.4, 1.2}, .gapSeconds = {0.15, 1.5}, .varied = true,
         .bands = {{120, 320, {0.2, 0.9}}, {900, 1600, {0.05, 0.6}}},
         .peakHz = {150, 300},
         .pulseHz = {80, 125}, .pulseLoHz = 80, .pulseHiHz = 2000, .pulseStrength = 0.4},
        // Dog: 2-5 barks of 0.08-0.35 s, harsh, fundamental 250-700 Hz for a medium
        // dog. Sources: Yin (2002); S. Yin & B. McCowan, "Barking in domestic dogs",
        // Anim. Behav. 68 (2004).
        {.file = "dogbark1.wav", .caption = "Dog Barking",
         .reading = {.dropDb = 20, .mergeGap = 0.04, .shortest = 0.05},
         .notes = {2, 5}, .noteSeconds = {0.08, 0.35}, .gapSeconds = {0.1, 1}, .varied = true,
         .pitchHz = {250, 900}},
        // Caterpillar in dry leaves: crisp rustles and snips, a few to 20 a second,
        // above 2 kHz. Source: Mankin et al. (2011) on insect feeding sounds.
        {.file = "rooster.wav", .caption = "Leafroller",
         .bands = {{2000, 12000, {0.6, 1}}},
         .impacts = {{.loHz = 2000, .hiHz = 12000, .riseDb = 10, .rangeDb = 25, .perSecond = {1, 20}}}},
        // A twig snapping: one sharp broadband crack, splinters within a few tenths
        // of a second, then bits landing. Source: Farnell, Designing Sound (2010),
        // impacts and fracture sounds.
        {.file = "corkpop.wav", .caption = "Branchcutter",
         .bands = {{1000, 12000, {0.5, 1}}},
         .impacts = {{.loHz = 1000, .hiHz = 12000, .riseDb = 12, .rangeDb = 30, .count = {3, 30}}}},
        // Tower clock: the four-bell quarter chime (G#4, F#4, E4, B3 in the common
        // pattern), then the hour bell (E3). Each bell has the tuned partials of a
        // church bell: hum an octave below, minor-third tierce, quint, nominal an
        // octave above. Source: N. Fletcher & T. Rossing, The Physics of Musical
        // Instruments (2nd ed. 1998), ch. 21.
        {.file = "BIGBEN.wav", .caption = "Clock Chimes",
         .reading = {.loHz = 100, .hiHz = 2000, .struck = true},
         .notes = {5, 8}, .varied = true,
         .notePitchHz = {{403, 428}, {359, 381}, {320, 340}, {240, 255}, {160, 170}},
         .partials = {0.5, 1.2, 1.5, 2.0}},
        // Common cuckoo: "cu-coo", the second note a minor to major third below the
        // first, near 650 and 530 Hz, each 0.1-0.4 s. Source: Collins Bird Guide
        // (2009); pitch from the xeno-canto archive's spectrograms.
        {.file = "cuckoo.wav", .caption = "Cuckoo",
         .reading = {.loHz = 300, .hiHz = 1200, .dropDb = 25, .mergeGap = 0.03, .shortest = 0.08},
         .notes = {2, 6}, .noteSeconds = {0.1, 0.45}, .varied = true,
         .pitchHz = {400, 900},
         .notePitchHz = {{580, 740}, {470, 600}, {580, 740}, {470, 600}},
         .steps = {{0.76, 0.88}, {}, {0.76, 0.88}}},
        // Lacewing: the soft throb of slow wing beats, 15-60 a second. Source:
        // Sotavalta (1947), wing-stroke rates of Neuroptera.
        {.file = "ambulance.wav", .caption = "Lacewing",
         .reading = {.dropDb = 20, .mergeGap = 0.1, .shortest = 0.2},
         .notes = {1, 3},
         .pulseHz = {15, 60}, .pulseStrength = 0.3},
        // Creaking hull and rope: stick-slip friction, pulse trains of 20-300 per
        // second in creaks of 0.2-1 s. Source: Farnell, Designing Sound (2010),
        // "Creaking" practical (stick-slip).
        {.file = "boatcreak.wav", .caption = "Boat Creak",
         .reading = {.loHz = 200, .hiHz = 4000, .dropDb = 15, .mergeGap = 0.05, .shortest = 0.15},
         .notes = {2, 5}, .noteSeconds = {0.2, 1.2}, .varied = true,
         .pulseHz = {20, 300}, .pulseLoHz = 200, .pulseHiHz = 4000, .pulseStrength = 0.3},
        // Pigeon taking off: loud wing claps at 6-12 a second, then whirring beats
        // fading. Source: M. Hingee & R. Magrath, "Flights of fear: a mechanical
        // wing whistle sounds the alarm in a flocking bird", Proc. R. Soc. B 276
        // (2009); wing-beat rates of pigeons about 8-10 per second.
        {.file = "birdflap.wav", .caption = "Birds Wings",
         .impacts = {{.loHz = 300, .hiHz = 6000, .riseDb = 8, .rangeDb = 30, .perSecond = {4, 12},
                      .count = {5, 16}}}},
        // Cicada: one insect's song, 1-4 s, tymbal pulses at 100-500 per second on a
        // 3-8 kHz carrier. Source: Young & Bennet-Clark (1995).
        {.file = "CICADA3.wav", .caption = "Cicada",
         .reading = {.loHz = 2500, .hiHz = 9000, .dropDb = 20, .mergeGap = 0.1, .shortest = 0.5},
         .notes = {1, 2}, .noteSeconds = {1, 4},
         .peakHz = {3000, 8000},
         .pulseHz = {90, 500}, .pulseLoHz = 2500, .pulseHiHz = 9000, .pulseStrength = 0.3},
        // Herring gull: the long call, a drawn-out note then a run of shorter
        // "kyow"s, each falling, 0.1-0.5 s. Source: N. Tinbergen, The Herring Gull's
        // World (1953); Collins Bird Guide (2009).
        {.file = "seagull2.wav", .caption = "Seagulls",
         .reading = {.loHz = 500, .hiHz = 6000, .dropDb = 20, .mergeGap = 0.03, .shortest = 0.06},
         .notes = {3, 12}, .noteSeconds = {0.1, 0.5}, .varied = true,
         .pitchHz = {700, 2500}, .glide = {0.6, 0.97}},
        // Horse: a whinny of 1-2 s whose pitch falls, fundamental 400-1500 Hz, with a
        // shudder. Source: E. Briefer et al., "Segregation of information about
        // emotional arousal and valence in horse whinnies", Sci. Rep. 5 (2015).
        {.file = "horse.wav", .caption = "Horse",
         .reading = {.loHz = 300, .hiHz = 4000, .dropDb = 20, .mergeGap = 0.05, .shortest = 0.5},
         .notes = {1, 2}, .noteSeconds = {0.8, 2.2},
         .pitchHz = {300, 1600}, .glide = {0.3, 0.85}},
        // Train: a chime whistle (a chord of pipes), then the wheels striking rail
        // joints in pairs as each bogie passes. Source: Farnell, Designing Sound
        // (2010), "Trains"; rails of 18-25 m give a few joint impacts a second.
        {.file = "railroad.wav", .caption = "RailRoad",
         .impacts = {{.loHz = 300, .hiHz = 3000, .riseDb = 10, .rangeDb = 25, .count = {6, 30}}}},
        // Nightingale: a 2-4 s song of varied elements, repeated piping notes
        // swelling, a rattle, whistles, all at 1-8 kHz. Source: H. Hultsch & D. Todt,
        // "Memorization and reproduction of songs in nightingales", J. Comp. Physiol.
        // A 165 (1989); Collins Bird Guide (2009).
        {.file = "nightengale.wav", .caption = "Nightingale",
         .reading = {.loHz = 1000, .hiHz = 9000, .dropDb = 25, .mergeGap = 0.012, .shortest = 0.015},
         .notes = {8, 40}, .varied = true,
         .bands = {{1000, 9000, {0.85, 1}}}},
        // Outboard motor: cylinder firings at 20-120 per second (a two-stroke twin at
        // 600-3600 rpm) and the pitch rising and falling as it passes. Source:
        // Farnell, Designing Sound (2010), "Engines".
        {.file = "outboard2.wav", .caption = "Motor Boat",
         .reading = {.dropDb = 20, .mergeGap = 0.2, .shortest = 0.5},
         .notes = {1, 1}, .noteSeconds = {2, 5},
         .pulseHz = {20, 120}, .pulseStrength = 0.2},
        // Drips into a pool: each drop's entrained bubble rings and rises in pitch,
        // 0.5-4 kHz, a few a second. Source: A. Prosperetti & H. Oguz, "The impact of
        // drops on liquid surfaces and the underwater noise of rain", Annu. Rev.
        // Fluid Mech. 25 (1993).
        {.file = "DRIPS.wav", .caption = "Blue Tail",
         .reading = {.loHz = 300, .hiHz = 6000, .dropDb = 25, .mergeGap = 0.01, .shortest = 0.01},
         .notes = {3, 12}, .noteSeconds = {0.01, 0.12}, .varied = true,
         .pitchHz = {500, 4000}, .glide = {1.1, 3}},
        // Air horn: a short blast of about 1-2.5 s; a vessel under 75 m sounds a
        // fundamental of 250-700 Hz. Source: COLREGs (1972), Rule 32 and Annex III.
        {.file = "boatairhorn2.wav", .caption = "Ships Horn2",
         .reading = {.dropDb = 20, .mergeGap = 0.1, .shortest = 0.3},
         .notes = {1, 2}, .noteSeconds = {0.8, 2.5},
         .pitchHz = {200, 700}},
    };
}

// clang-format on

} // namespace

const std::vector<Signature>& signatures() {
    static const std::vector<Signature> all = [] {
        std::vector<Signature> list = backgrounds();
        for (Signature& s : list) {
            s.loop = true;
        }
        for (Signature& s : randomSounds()) {
            list.push_back(std::move(s));
        }
        return list;
    }();
    return all;
}

} // namespace assetgen
