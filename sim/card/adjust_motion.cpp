#include "sim/card/adjust_motion.h"

namespace korvex::sim {

bool AdjustMotion::touches(int64_t x, int64_t y) {
    const int64_t dx = x - kHoleCenterX;
    const int64_t dy = y - kHoleCenterY;
    return dx * dx + dy * dy >= kHoleRadius * kHoleRadius;
}

void AdjustMotion::startCenter() {
    centering_ = true;
    nextLeg(Leg::SeekXPlus);
}

void AdjustMotion::startBorder(uint8_t direction) {
    centering_ = false;
    direction_ = direction;
    edgeSteps_ = 0;
    nextLeg(Leg::Edge);
}

void AdjustMotion::nextLeg(Leg leg) {
    leg_ = leg;
    legTravel_ = 0;
    clear_ = false;
}

bool AdjustMotion::step(int budget, int64_t& x, int64_t& y) {
    for (int s = 0; s < budget && leg_ != Leg::Done; ++s) {
        if (legTravel_ >= kAdjustMaxTravel) {
            leg_ = Leg::Done;
            break;
        }
        switch (leg_) {
            case Leg::Edge:
                if (touches(x, y)) {
                    leg_ = Leg::Done;
                    continue;
                }
                x += direction_ == 1 ? 1 : direction_ == 4 ? -1 : 0;
                y += direction_ == 2 ? 1 : direction_ == 8 ? -1 : 0;
                ++edgeSteps_;
                break;
            case Leg::SeekXPlus:
            case Leg::SeekXMinus:
            case Leg::SeekYPlus:
            case Leg::SeekYMinus: {
                const bool alongX = leg_ == Leg::SeekXPlus || leg_ == Leg::SeekXMinus;
                const int dir = leg_ == Leg::SeekXPlus || leg_ == Leg::SeekYPlus ? 1 : -1;
                (alongX ? x : y) += dir;
                if (!touches(x, y)) {
                    clear_ = true;
                    break;
                }
                if (!clear_)
                    break;
                const int64_t at = alongX ? x : y;
                if (leg_ == Leg::SeekXPlus || leg_ == Leg::SeekYPlus) {
                    firstContact_ = at;
                    nextLeg(alongX ? Leg::SeekXMinus : Leg::SeekYMinus);
                } else {
                    middle_ = (firstContact_ + at) / 2;
                    nextLeg(alongX ? Leg::MidX : Leg::MidY);
                }
                continue;  // the new leg's travel starts at 0
            }
            case Leg::MidX:
            case Leg::MidY: {
                int64_t& axis = leg_ == Leg::MidX ? x : y;
                if (axis == middle_) {
                    nextLeg(leg_ == Leg::MidX ? Leg::SeekYPlus : Leg::Done);
                    continue;
                }
                axis += axis < middle_ ? 1 : -1;
                break;
            }
            case Leg::Done:
                break;
        }
        ++legTravel_;
    }
    return leg_ == Leg::Done;
}

}  // namespace korvex::sim
