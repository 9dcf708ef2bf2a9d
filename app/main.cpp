#include "app/ConvertApp.h"

CConvertApp theApp;

int main(int argc, char** argv) { return TerraxMain(argc, argv); }
