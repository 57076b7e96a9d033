#pragma once
// The window library's key numbering (GLFW 3). Kept here as plain constants
// so that key translation and the headless backend need no GLFW headers; the
// GLFW backend checks at compile time that they still agree.

namespace pirn {
namespace library_key {

constexpr int kUnknown = -1;
constexpr int kSpace = 32;
constexpr int kApostrophe = 39;
constexpr int kComma = 44;
constexpr int kMinus = 45;
constexpr int kPeriod = 46;
constexpr int kSlash = 47;
constexpr int k0 = 48;
constexpr int k9 = 57;
constexpr int kSemicolon = 59;
constexpr int kEqual = 61;
constexpr int kA = 65;
constexpr int kZ = 90;
constexpr int kLeftBracket = 91;
constexpr int kBackslash = 92;
constexpr int kRightBracket = 93;
constexpr int kGraveAccent = 96;
constexpr int kWorld1 = 161;
constexpr int kWorld2 = 162;

constexpr int kEscape = 256;
constexpr int kEnter = 257;
constexpr int kTab = 258;
constexpr int kBackspace = 259;
constexpr int kInsert = 260;
constexpr int kDelete = 261;
constexpr int kRight = 262;
constexpr int kLeft = 263;
constexpr int kDown = 264;
constexpr int kUp = 265;
constexpr int kPageUp = 266;
constexpr int kPageDown = 267;
constexpr int kHome = 268;
constexpr int kEnd = 269;
constexpr int kCapsLock = 280;
constexpr int kScrollLock = 281;
constexpr int kNumLock = 282;
constexpr int kPrintScreen = 283;
constexpr int kPause = 284;
constexpr int kF1 = 290;
constexpr int kF15 = 304;
constexpr int kF16 = 305;
constexpr int kF25 = 314;
constexpr int kKp0 = 320;
constexpr int kKp9 = 329;
constexpr int kKpDecimal = 330;
constexpr int kKpDivide = 331;
constexpr int kKpMultiply = 332;
constexpr int kKpSubtract = 333;
constexpr int kKpAdd = 334;
constexpr int kKpEnter = 335;
constexpr int kKpEqual = 336;
constexpr int kLeftShift = 340;
constexpr int kLeftControl = 341;
constexpr int kLeftAlt = 342;
constexpr int kLeftSuper = 343;
constexpr int kRightShift = 344;
constexpr int kRightControl = 345;
constexpr int kRightAlt = 346;
constexpr int kRightSuper = 347;
constexpr int kMenu = 348;
constexpr int kLast = 348;

// Actions and modifier bits as the library reports them.
constexpr int kActionRelease = 0;
constexpr int kActionPress = 1;
constexpr int kActionRepeat = 2;
constexpr int kModShift = 0x0001;
constexpr int kModControl = 0x0002;
constexpr int kModAlt = 0x0004;
constexpr int kModSuper = 0x0008;

}  // namespace library_key
}  // namespace pirn
