// A paint box: a plain control that the owner paints through OnPaint (or an animator takes
// over as its drawing box).
#pragma once
#include "controls/control.h"

namespace controls {

class TPaintBox : public TControl {};

}  // namespace controls
