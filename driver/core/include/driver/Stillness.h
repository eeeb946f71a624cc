#pragma once
// Whether a contact is still or moving, judged from its estimated speed with
// two thresholds, so that the noise of a pen held still, which now and then
// makes it seem to creep, cannot flip the answer from frame to frame:
//
//   state  | speed above stillSpeed | speed below stillSpeed / 2 | otherwise
//   -------+------------------------+----------------------------+----------
//   Still  | -> Moving              | stays                      | stays
//   Moving | stays                  | -> Still                   | stays
//
// A contact starts Still.
namespace driver {

class Stillness {
public:
    enum class Motion { Still, Moving };

    explicit Stillness(double stillSpeed)
        : movingAbove_(stillSpeed),
          stillBelow_(stillSpeed / 2)
    {}

    void Reset() { motion_ = Motion::Still; }
    Motion Judge(double speed);

    Motion Current() const { return motion_; }

private:
    double movingAbove_;
    double stillBelow_;
    Motion motion_ = Motion::Still;
};

const char* Name(Stillness::Motion motion);

} // namespace driver
