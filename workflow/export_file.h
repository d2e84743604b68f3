// Writing the results list to the export file.
#pragma once

#include <string>

namespace dnsbatch {

class Controls;

// Writes one line per row of the list, "QNAME,NAME,IP" and CR LF, to
// nativePath: truncated first, then each row's line in order, so that the
// file on disk is complete after every row and a write that fails loses
// that row's line alone. Holds an exclusive lock (flock) on the file while
// writing; if another holder keeps it locked, the file is left as it is.
// Reports nothing.
void writeExportFile(Controls &controls, const std::string &nativePath);

}  // namespace dnsbatch
