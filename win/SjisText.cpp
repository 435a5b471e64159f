#include "SjisText.h"

#include "SjisCodec.h"

namespace sjis {

QString ToQString(std::string_view bytes)
{
    const std::string utf8 = DecodeToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> FromQString(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    // Qt writes an unpaired surrogate as a stand-in character; such text
    // would not come back as itself.
    if (QString::fromUtf8(utf8) != text)
        return std::nullopt;
    return EncodeFromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

std::optional<int> ByteLength(const QString& text)
{
    const std::optional<std::string> bytes = FromQString(text);
    if (!bytes)
        return std::nullopt;
    return static_cast<int>(bytes->size());
}

}  // namespace sjis
