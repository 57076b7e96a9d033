#include "platform/os/pirn_gl.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/os/os_window.h"

namespace pirn {
namespace {

// An extension answer asked of the driver once and then kept.
struct CachedAnswer {
    bool tested = false;
    int result = 0;
};

GlEntryPoints g_entryPoints;
CachedAnswer g_npot;
CachedAnswer g_anisotropy;
int g_forcePowerOfTwo = 0;

int Ask(CachedAnswer& answer, const char* extension) {
    if (!answer.tested) {
        answer.result = OsExtensionSupported(extension);
        answer.tested = true;
    }
    return answer.result;
}

template <typename Proc>
Proc Fetch(const char* name) {
    return reinterpret_cast<Proc>(OsGetProcAddress(name));
}

// Whether the current context's version is at least major.minor.
bool ContextHasVersion(int major, int minor) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (!version) return false;
    int haveMajor = 0, haveMinor = 0;
    if (std::sscanf(version, "%d.%d", &haveMajor, &haveMinor) != 2) return false;
    return haveMajor > major || (haveMajor == major && haveMinor >= minor);
}

}  // namespace

void PirnGL_Init() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    OsSwapBuffers();

    // GLX hands out a dispatch stub for any name, so an address alone does
    // not prove the driver has the function: ask only for what the version
    // or an extension promises.
    g_entryPoints = GlEntryPoints();
    if (ContextHasVersion(1, 3) || OsExtensionSupported("GL_ARB_multitexture")) {
        g_entryPoints.multiTexCoord2f = Fetch<GlMultiTexCoord2fProc>("glMultiTexCoord2f");
        g_entryPoints.activeTexture = Fetch<GlActiveTextureProc>("glActiveTexture");
        if (!g_entryPoints.multiTexCoord2f)
            g_entryPoints.multiTexCoord2f = Fetch<GlMultiTexCoord2fProc>("glMultiTexCoord2fARB");
        if (!g_entryPoints.activeTexture)
            g_entryPoints.activeTexture = Fetch<GlActiveTextureProc>("glActiveTextureARB");
    }
    if (OsExtensionSupported("GL_WIN_swap_hint"))
        g_entryPoints.addSwapHintRectWin = Fetch<GlAddSwapHintRectWinProc>("glAddSwapHintRectWIN");

    // A new context may answer differently from an earlier one.
    g_npot = CachedAnswer();
    g_anisotropy = CachedAnswer();
    if (const char* force = std::getenv("PIRN_FORCE_POT_TEXTURES"))
        if (std::strcmp(force, "1") == 0) g_forcePowerOfTwo = 1;
    Ask(g_npot, "GL_ARB_texture_non_power_of_two");
    Ask(g_anisotropy, "GL_EXT_texture_filter_anisotropic");

    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
}

const GlEntryPoints& GetGlEntryPoints() { return g_entryPoints; }

int SupportsNpotTextures() {
    int supported = Ask(g_npot, "GL_ARB_texture_non_power_of_two");
    return g_forcePowerOfTwo ? 0 : supported;
}

int SupportsAnisotropy() { return Ask(g_anisotropy, "GL_EXT_texture_filter_anisotropic"); }

void SetForcePowerOfTwoTextures(int force) { g_forcePowerOfTwo = force ? 1 : 0; }

}  // namespace pirn
