// The clock tests' PNG writer, built into this program as well.
#include "clock/png_writer.cpp"
