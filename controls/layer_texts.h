// The texts a layer animator draws, for assistive technology: every layer with words in its
// text is a static text named by what it reads now, where it is drawn, and invisible while it
// cannot be seen (a hidden layer, one faded out to nothing, or a hidden drawing box). The
// pictures are not told of: the pages' words say what they show.
#pragma once
#include <functional>
#include <vector>

#include "controls/animator_layer.h"
#include "controls/control.h"

namespace controls {

// Appends the texts of `layers`, drawn into `box`, in layer order, with `parent` as their
// parent; (ox, oy) is the box's origin in its form. `skip` leaves out layers that something
// else already tells of (a link with a control of its own).
void AppendLayerTexts(const TRdAniLayerCollection& layers, const TControl& box,
                      std::vector<TAccessibleNode>& out, int parent, int ox, int oy,
                      const std::function<bool(int index)>& skip = {});

}  // namespace controls
