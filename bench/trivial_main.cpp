// Does nothing but load the libraries Halomark loads.
#include <QtGlobal>

int main() { return qVersion() ? 0 : 1; }
