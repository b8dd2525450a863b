#include "compositing/mosaic.h"

namespace tp {

// Not built yet: finalization reports failure until seam blending lands.
bool Mosaic::AdvancedBlend(Progress&) { return false; }

}  // namespace tp
