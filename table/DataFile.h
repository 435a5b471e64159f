#pragma once

#include <cstdio>
#include <memory>

// The data file, opened for reading and appending the way a text-mode
// open does it: created when missing, and a 0x1A that ends the file taken
// off, so that what is appended afterwards can be read. No stream means
// closed.
class DataFile {
public:
    // Closes whatever was open first; false when the file cannot be opened.
    [[nodiscard]] bool Open(const char* path) noexcept;
    // Closes, not caring whether the close succeeds: nothing was written.
    void Drop() noexcept { m_stream.reset(); }
    // Closes; false when the close failed or nothing was open.
    [[nodiscard]] bool Close() noexcept;

    [[nodiscard]] bool IsOpen() const noexcept { return m_stream != nullptr; }
    [[nodiscard]] std::FILE* Stream() const noexcept { return m_stream.get(); }
    [[nodiscard]] int Descriptor() const noexcept { return ::fileno(m_stream.get()); }
    // A regular file, not a device or pipe: one that has a size and ends.
    [[nodiscard]] bool IsRegular() const noexcept { return m_regular; }
    // The 0x1A that ends the file could not be taken off: a line appended
    // now would come after it, where no scan reads.
    [[nodiscard]] bool EndOfTextStuck() const noexcept { return m_endOfTextStuck; }
    // The file was created by this open and its directory could not be
    // flushed: lines written now might vanish with the entry in a crash.
    [[nodiscard]] bool EntryUnflushed() const noexcept { return m_entryUnflushed; }

private:
    struct Closer {
        void operator()(std::FILE* stream) const noexcept { (void)std::fclose(stream); }
    };

    void DropTrailingEndOfText(long long size) noexcept;

    std::unique_ptr<std::FILE, Closer> m_stream;
    bool m_regular = false;
    bool m_endOfTextStuck = false;
    bool m_entryUnflushed = false;
};
