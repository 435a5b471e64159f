#pragma once

// The table against the reference reader, shared by the fuzz targets and
// the table tests.

#include "AddressTable.h"
#include "ReferenceReader.h"

#include <string>
#include <string_view>

namespace reference {

// Writes fileBytes as the data file of the working directory and scans it
// with the given line kernels (null: byte by byte) for every query: whole
// scans, scans abandoned midway, and the name-list fill that reads on past
// a malformed line after a failed GetFirst. Every record, the end of every
// scan and the file's bytes afterwards are compared with what the
// reference reader makes of the bytes. Empty when all agree, else the
// first difference.
[[nodiscard]] std::string CompareScans(std::string_view fileBytes, const LineKernels* kernels);

void WriteDataFile(std::string_view bytes);
[[nodiscard]] std::string ReadDataFile();

}  // namespace reference
