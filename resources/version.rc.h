// Version numbers shared by the program's resource scripts.
#define VT_VERSION_BIN 1,0,0,1
#define VT_VERSION_STR "1.0.0.1"
