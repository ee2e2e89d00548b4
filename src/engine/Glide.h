#pragma once

namespace sylvaro::engine {

// A linear glide of one gain: frame k of it (counted from 1) has the gain
// start + step * k and its last frame has exactly the target, so what is
// rendered does not depend on how the glide is cut into runs.
struct Glide {
    float gain = 0.0f;   // at the last frame rendered
    float target = 0.0f; // where it ends, or stays
    float start = 0.0f;
    float step = 0.0f;
    int done = 0; // frames of it rendered
    int left = 0; // frames of it to come; 0 when steady

    Glide() = default;
    explicit Glide(float steady) : gain(steady), target(steady) {}

    // Glides from the gain it has now to `to` over `frames` (at least 1).
    void towards(float to, int frames) {
        target = to;
        start = gain;
        done = 0;
        left = frames;
        step = (target - gain) / static_cast<float>(frames);
    }
    // Stands still at `steady`, at once.
    void hold(float steady) {
        gain = target = steady;
        left = 0;
    }
    // Moves `frames` frames on.
    void advance(int frames) {
        if (left == 0) {
            return;
        }
        if (frames >= left) {
            gain = target;
            left = 0;
        } else {
            done += frames;
            left -= frames;
            gain = start + step * static_cast<float>(done);
        }
    }
};

} // namespace sylvaro::engine
