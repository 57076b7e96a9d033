#include "app/about_credits.h"

namespace pirn {

namespace {

// Short lines: the About box gives them 368 pixels and the picture's height.
const char kCredits[] =
    "|bPirn|p \"Shuttle\" Build 123\n"
    "\n"
    "Ada |i\"Loom\"|p Weaver (Warp & Weft) Programming\n"
    "Tobias |i\"Bobbin\"|p Reel (Warp & Weft) Programming\n"
    "Mira |i\"Heddle\"|p Lane (Fourth Shed) Mac Support\n"
    "Jonas |i\"Selvage\"|p Hart (Fourth Shed) Scripting, Testing\n"
    "Edda |i\"Treadle\"|p Moss (Night Loom) Scripting\n"
    "Pavel |i\"Spindle\"|p Orr (Night Loom) Testing\n"
    "Nell |i\"Batten\"|p Quist (Open Reed) Testing\n"
    "\n"
    "Additional Thanks to:\n"
    "\"Tabby\" (Open Reed), \"Twill\" (Night Loom),\n"
    "\"Satin\" (Fourth Shed), \"Dobby\" (Warp & Weft),\n"
    "\"Jacquard\" (Open Reed).\n"
    "And all the testers.\n"
    "\n"
    "|bFor everyone who still plays Zarnhold.|p";


}  // namespace

const char* AboutCredits() { return kCredits; }

}  // namespace pirn
