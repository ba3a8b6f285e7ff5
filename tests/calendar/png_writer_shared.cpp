// The small PNG encoder of the clock tests, built into this test program too.
#include "clock/png_writer.cpp"
