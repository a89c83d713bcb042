// A stand-in: a control with no look and no mouse of its own, placed over something another
// control draws (a link on the animator's pages), so that the keyboard can reach it and
// assistive technology can name it. Its role and name are set by the owner (AccRole, AccName);
// Enter and Space fire its OnClick.
#pragma once
#include "controls/control.h"

namespace controls {

class TStandIn : public TControl {
protected:
    bool TakesMouse() const override { return false; }
};

}  // namespace controls
