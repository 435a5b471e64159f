#include "AddressTable.h"

#include "AddressTableImpl.h"
#include "SjisCodec.h"

#include <fstream>
#include <string>

CAddressTable::CAddressTable() : CAddressTable(LineKernels::Best()) {}

CAddressTable::CAddressTable(const LineKernels* kernels) : m_impl(std::make_unique<Impl>(kernels)) {}

CAddressTable::~CAddressTable() noexcept = default;

int CAddressTable::GetFirst(AddressRecord& record, KanaRow kanaRow)
{
    if (!m_impl->Open()) {
        m_impl->NoteScanEnd(ScanEnd::OpenFailed);
        return 0;
    }
    return m_impl->ReadMatching(record, kanaRow) ? 1 : 0;
}

int CAddressTable::GetNext(AddressRecord& record, KanaRow kanaRow)
{
    if (!m_impl->IsOpen())
        return 0;
    if (m_impl->ReadMatching(record, kanaRow))
        return 1;
    m_impl->EndScan();
    return 0;
}

const ScanStatus& CAddressTable::LastScan() const noexcept
{
    return m_impl->Status();
}

AppendEnd CAddressTable::LastAppend() const noexcept
{
    return m_impl->LastAppend();
}

bool CAddressTable::Impl::Open() noexcept
{
    if (!m_file.Open(ADDRESS_TABLE_FILE))
        return false;
    m_scanner.Start(m_file.Stream(), m_file.IsRegular());
    return true;
}

bool CAddressTable::Impl::ReadMatching(AddressRecord& record, KanaRow kanaRow) noexcept
{
    switch (m_scanner.NextMatching(kanaRow)) {
    case LineScanner::Next::Found:
        m_scanner.CopyTo(record);
        NoteScanEnd(ScanEnd::Found);
        m_status.kanaRow = m_scanner.Code();
        return true;
    case LineScanner::Next::Malformed:
        NoteMalformedLine();
        return false;
    case LineScanner::Next::TextEnded:
        break;
    }
    NoteScanEnd(ScanEnd::EndOfFile);
    return false;
}

void CAddressTable::Impl::NoteScanEnd(ScanEnd end) noexcept
{
    m_status = ScanStatus{};
    m_status.end = end;
}

void CAddressTable::Impl::NoteMalformedLine() noexcept
{
    const bool emptyLine = m_scanner.LineIsEmpty();
    NoteScanEnd(ScanEnd::MalformedLine);
    m_status.lineNumber = m_scanner.LineNumber();
    m_status.fieldCount = emptyLine ? 0 : m_scanner.FieldsTaken();
    m_status.dataHidden = !emptyLine || m_scanner.LaterLinesHoldData();
    if (m_scanner.LineStartsWithNul())
        m_status.malformed = MalformedLine::Nul;
    else if (m_scanner.LineIsTooLong())
        m_status.malformed = MalformedLine::TooLong;
    else if (emptyLine)
        m_status.malformed = MalformedLine::Empty;
}

bool CAddressTable::FileLooksLikeUtf8()
{
    std::ifstream file(ADDRESS_TABLE_FILE, std::ios::binary);
    std::string head(64 * 1024, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    return sjis::LooksLikeUtf8(head);
}
