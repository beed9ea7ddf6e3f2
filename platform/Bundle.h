#pragma once

#include <QString>

// Where the application lives.
class Bundle {
  public:
    virtual ~Bundle() = default;
    // The absolute path of the application's own bundle directory; the empty text when the
    // system cannot tell.
    virtual QString bundlePath() = 0;
};
