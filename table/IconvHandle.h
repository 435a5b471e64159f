#pragma once

#include <iconv.h>

// One iconv conversion descriptor, closed with the object. Opening one
// costs far more than converting a short text, so keep it while it is of
// use.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) noexcept : m_cd(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (IsOpen())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    [[nodiscard]] bool IsOpen() const noexcept { return m_cd != reinterpret_cast<iconv_t>(-1); }
    void Reset() noexcept { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

    // One call of iconv; false with errno set when it stopped early.
    bool Convert(const char*& in, size_t& inLeft, char*& out, size_t& outLeft) noexcept
    {
        // glibc's prototype takes char** for the input.
        char* input = const_cast<char*>(in);
        const size_t result = iconv(m_cd, &input, &inLeft, &out, &outLeft);
        in = input;
        return result != static_cast<size_t>(-1);
    }

private:
    iconv_t m_cd;
};
