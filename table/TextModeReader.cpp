#include "TextModeReader.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr char END_OF_TEXT = 0x1A;
}

void TextModeReader::Start(std::FILE* file) noexcept
{
    m_file = file;
    m_bufferOffset = std::ftell(file);
    m_pos = 0;
    m_end = 0;
    m_textEnded = false;
    m_nextLine = 1;
    m_pieceLine = 0;
}

int TextModeReader::ReadPiece(char (&dest)[PIECE_LIMIT + 1]) noexcept
{
    const long line = m_nextLine;
    std::size_t length = 0;
    while (m_pos < m_end || Refill()) {
        const char* source = m_buffer + m_pos;
        const std::size_t span = std::min(m_end - m_pos, PIECE_LIMIT - length);
        const auto* lineEnd = static_cast<const char*>(std::memchr(source, '\n', span));
        const std::size_t take = lineEnd ? static_cast<std::size_t>(lineEnd - source) + 1 : span;
        std::memcpy(dest + length, source, take);
        m_pos += take;
        length += take;
        if (lineEnd) {
            // The CR of a CR LF was copied with the line; it goes now.
            if (length >= 2 && dest[length - 2] == '\r') {
                dest[length - 2] = '\n';
                --length;
            }
            ++m_nextLine;
            break;
        }
        if (length == PIECE_LIMIT) {
            // A CR LF across the limit still counts as one LF of this piece.
            if (dest[length - 1] == '\r' && PeekByte() == '\n') {
                dest[length - 1] = '\n';
                ++m_pos;
                ++m_nextLine;
            }
            break;
        }
    }
    if (length == 0)
        return -1;
    dest[length] = '\0';
    m_pieceLine = line;
    return static_cast<int>(length);
}

bool TextModeReader::NextPiece(Piece& piece, char (&spare)[PIECE_LIMIT + 1]) noexcept
{
    if (m_pos < m_end) {
        // A piece holds at most PIECE_LIMIT bytes once its CR LF is one LF.
        const char* const start = m_buffer + m_pos;
        const std::size_t span = std::min(m_end - m_pos, std::size_t{PIECE_LIMIT} + 1);
        const auto* lineEnd = static_cast<const char*>(std::memchr(start, '\n', span));
        if (lineEnd != nullptr) {
            auto content = static_cast<std::size_t>(lineEnd - start);
            if (content > 0 && lineEnd[-1] == '\r')
                --content;
            if (content < PIECE_LIMIT) {
                piece = {start, static_cast<int>(content), true, m_buffer + sizeof m_buffer};
                m_pos += static_cast<std::size_t>(lineEnd - start) + 1;
                m_pieceLine = m_nextLine++;
                return true;
            }
        }
    }
    const int length = ReadPiece(spare);
    if (length < 0)
        return false;
    const bool lineEnd = spare[length - 1] == '\n';
    piece = {spare, length - (lineEnd ? 1 : 0), lineEnd, spare + sizeof spare};
    return true;
}

void TextModeReader::Seek(const Mark& mark) noexcept
{
    m_nextLine = mark.nextLine;
    if (mark.bufferOffset == m_bufferOffset) {
        m_pos = mark.pos;
        return;
    }
    const long long offset = mark.bufferOffset + static_cast<long long>(mark.pos);
    std::clearerr(m_file);
    std::fseek(m_file, static_cast<long>(offset), SEEK_SET);
    m_bufferOffset = offset;
    m_pos = 0;
    m_end = 0;
    m_textEnded = false;
}

bool TextModeReader::Refill() noexcept
{
    if (m_textEnded)
        return false;
    m_bufferOffset += static_cast<long long>(m_end);
    m_pos = 0;
    m_end = std::fread(m_buffer, 1, BLOCK_BYTES, m_file);
    // A read error counts as the end of the file.
    if (m_end == 0) {
        m_textEnded = true;
        return false;
    }
    if (const void* stop = std::memchr(m_buffer, END_OF_TEXT, m_end)) {
        m_end = static_cast<std::size_t>(static_cast<const char*>(stop) - m_buffer);
        m_textEnded = true;
    }
    return m_end > 0;
}

int TextModeReader::PeekByte() noexcept
{
    if (m_pos == m_end && !Refill())
        return -1;
    return static_cast<unsigned char>(m_buffer[m_pos]);
}
