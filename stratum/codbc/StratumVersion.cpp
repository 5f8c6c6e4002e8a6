#include "codbc/StratumVersion.h"

const char* StratumVersion() { return VARNEL_VERSION; }
