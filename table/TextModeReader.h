#pragma once

#include <cstddef>
#include <cstdio>

// Reads a stream the way a text-mode stream is read where the C library
// has such a mode: CR LF and a lone LF end a line and the CR of a CR LF is
// dropped (any other CR is an ordinary byte), a 0x1A byte ends the text,
// and lines come in pieces of at most PIECE_LIMIT bytes, the LF included,
// counted after CR LF became LF. Reads through one large fixed buffer.
class TextModeReader {
public:
    static constexpr int PIECE_LIMIT = 4095;

    // Where the next piece starts, for going back after a look ahead.
    struct Mark {
        long long bufferOffset;
        std::size_t pos;
        long nextLine;
    };

    // Starts reading the stream from its current offset (line 1).
    void Start(std::FILE* file) noexcept;

    // The next piece in dest, NUL-terminated; its length, or -1 when the
    // text has ended (end of file, 0x1A or a read error) before any byte.
    [[nodiscard]] int ReadPiece(char (&dest)[PIECE_LIMIT + 1]) noexcept;

    // The next piece as ReadPiece would deliver it, without its LF: the
    // bytes before the line end, and whether the LF was there.
    struct Piece {
        const char* text;
        int contentLength;
        bool lineEnd;
        // Memory up to here may be read (never past it), for block moves.
        const char* readableEnd;
    };

    // The next piece, left where it lies in the reader's own buffer when it
    // lies there whole (most lines), else copied into spare by ReadPiece;
    // false when the text has ended. Valid until the next read.
    [[nodiscard]] bool NextPiece(Piece& piece, char (&spare)[PIECE_LIMIT + 1]) noexcept;

    // The 1-based physical line on which the last piece started.
    [[nodiscard]] long PieceLine() const noexcept { return m_pieceLine; }

    [[nodiscard]] Mark Tell() const noexcept { return {m_bufferOffset, m_pos, m_nextLine}; }
    void Seek(const Mark& mark) noexcept;

private:
    bool Refill() noexcept;
    int PeekByte() noexcept;

    std::FILE* m_file = nullptr;
    long long m_bufferOffset = 0;  // file offset of m_buffer[0]
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_textEnded = false;  // no byte beyond m_end will be read
    long m_nextLine = 1;
    long m_pieceLine = 0;
    static constexpr std::size_t BLOCK_BYTES = 64 * 1024;
    // Bytes after a block that may be read but never hold text, so that
    // lines near its end can be read in whole vector blocks too.
    static constexpr std::size_t SLACK_BYTES = 512;
    char m_buffer[BLOCK_BYTES + SLACK_BYTES] = {};
};
