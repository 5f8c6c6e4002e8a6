// Pieces the database benchmarks share: process CPU time and memory readings, a private ODBC
// configuration over the benchmark table, and the bare driver-manager read that is the reference rate.
#pragma once

#include <string>

namespace BenchOdbc {
double CpuSeconds();
// A "/proc/self/status" field in kB (VmRSS, VmHWM).
long StatusKb(const char* field);
// Writes odbcinst.ini and a data source `source` over the benchmark table into a new temporary folder,
// points ODBCSYSINI and ODBCINI at it and returns the folder.
std::string WriteConfiguration(const char* source, const char* database);
// Connects, SQLExecDirect, then SQLFetch and SQLGetData as SQL_C_CHAR for every cell; returns the
// number of cells read, -1 when the connection fails.
long BareRead(const char* source, const char* query);
} // namespace BenchOdbc
