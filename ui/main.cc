// Entry point of the desktop program.
#include "ui/application.h"

int main(int argc, char** argv) { return zt::RunApplication(argc, argv); }
