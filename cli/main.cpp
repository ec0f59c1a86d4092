#include "plugin/qvmtsfrs.h"

int main() { return PlugInQuarvel() == 1 ? 0 : 1; }
