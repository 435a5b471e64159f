#pragma once

// The table's state behind its interface: the open file, the scanner with
// its buffers, and the reports of the last scan and append. Only table/
// sees it.

#include "AddressTable.h"
#include "DataFile.h"
#include "LineScanner.h"

#include <string_view>

class CAddressTable::Impl {
public:
    explicit Impl(const LineKernels* kernels) noexcept : m_scanner(kernels) {}

    [[nodiscard]] bool Open() noexcept;
    void EndScan() noexcept { m_file.Drop(); }
    [[nodiscard]] bool IsOpen() const noexcept { return m_file.IsOpen(); }
    [[nodiscard]] bool ReadMatching(AddressRecord& record, KanaRow kanaRow) noexcept;
    // Appends lines (which start with a line end, written only when the
    // file's last line lacks one) and reports how it went.
    [[nodiscard]] AppendEnd Append(std::string_view lines) noexcept;

    void NoteScanEnd(ScanEnd end) noexcept;
    void NoteAppendEnd(AppendEnd end) noexcept;
    [[nodiscard]] const ScanStatus& Status() const noexcept { return m_status; }
    [[nodiscard]] AppendEnd LastAppend() const noexcept { return m_lastAppend; }

private:
    void NoteMalformedLine() noexcept;

    DataFile m_file;
    LineScanner m_scanner;
    ScanStatus m_status;
    AppendEnd m_lastAppend = AppendEnd::NotTried;
};
