#include "ui/console_front_end.h"

int main(int argc, char** argv) { return zentoro::runConsole(argc, argv); }
