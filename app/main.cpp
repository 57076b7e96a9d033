// Pirn's entry point; everything it does is in app/gl/program_run.h.

#include "app/gl/program_run.h"

int main() { return pirn::RunProgram(); }
