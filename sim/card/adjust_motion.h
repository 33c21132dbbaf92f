// The virtual card's wire centering and edge finding, against a simulated work piece: a plate
// with one round hole, the wire standing in it at power-on. The wire touches the plate where its
// distance from the hole's centre reaches the radius, so every result is exact and repeatable.
//
// Edge finding moves one axis towards the direction (1 X+, 2 Y+, 4 X-, 8 Y-) until the wire
// touches and counts the steps; a wire already touching moves 0 steps.
// Centering runs six legs: X+ to the wall, X- to the opposite wall, back to the middle of the two
// contacts, the same along Y. A seek leg counts a contact only once the wire has been clear of
// the plate, so leaving the wall just touched is not taken for the next wall.
// No contact within kAdjustMaxTravel steps of a leg (the wire is not in the hole) ends the
// procedure where it stands, as a card gives up rather than drive the wire on for ever.
#pragma once

#include <cstdint>

namespace korvex::sim {

inline constexpr int64_t kHoleCenterX = 400;     // microns from the power-on point, lower guides
inline constexpr int64_t kHoleCenterY = -250;
inline constexpr int64_t kHoleRadius = 1500;
inline constexpr int64_t kAdjustMaxTravel = 20000;

class AdjustMotion {
public:
    void startCenter();
    // direction 1, 2, 4 or 8.
    void startBorder(uint8_t direction);
    // Moves at most `budget` steps of (x, y); returns true once the procedure has ended.
    bool step(int budget, int64_t& x, int64_t& y);
    bool running() const { return leg_ != Leg::Done; }
    // Steps of the edge finding so far.
    int32_t edgeSteps() const { return edgeSteps_; }
    bool centering() const { return centering_; }

    static bool touches(int64_t x, int64_t y);

private:
    enum class Leg : uint8_t { Done, Edge, SeekXPlus, SeekXMinus, MidX, SeekYPlus, SeekYMinus, MidY };
    void nextLeg(Leg leg);
    Leg leg_ = Leg::Done;
    bool centering_ = false;
    uint8_t direction_ = 0;
    int32_t edgeSteps_ = 0;
    int64_t legTravel_ = 0;
    bool clear_ = false;
    int64_t firstContact_ = 0;
    int64_t middle_ = 0;
};

}  // namespace korvex::sim
