#include "models/ui/dtex_edit_drawer.h"

namespace pirn {

namespace {

DtexTextureDrawer g_drawer = nullptr;

}  // namespace

DtexTextureDrawer SetDtexTextureDrawer(DtexTextureDrawer drawer) {
    DtexTextureDrawer previous = g_drawer;
    g_drawer = drawer;
    return previous;
}

DtexTextureDrawer GetDtexTextureDrawer() { return g_drawer; }

}  // namespace pirn
