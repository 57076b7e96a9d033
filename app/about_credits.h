#pragma once
// The credits of the About box: program text with the font's style
// switches ("|b" bold, "|i" italic, "|p" plain), one line per credit, drawn
// centred beside the picture, each line on its own (no wrapping).

namespace pirn {

const char* AboutCredits();

}  // namespace pirn
