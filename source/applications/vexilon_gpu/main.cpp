#include "driver/RunDriver.h"

int main(int argc, char** argv) { return RunDriver::Run(argc, argv); }
