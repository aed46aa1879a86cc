// vexa: the desktop recorder. The whole program lives in the windows
// library; this is its entry point.
#include "ui/startup.h"

int main(int argc, char** argv) { return vexa::ui::RunVexa(argc, argv); }
