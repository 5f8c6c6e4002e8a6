// Version of the database library, for the log banner and the About box.
#pragma once

const char* StratumVersion();
