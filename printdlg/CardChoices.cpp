#include "CardChoices.h"

#include <QSettings>
#include <QStringList>

#include <array>
#include <cmath>
#include <string_view>
#include <utility>

namespace printdlg {

namespace {

// Each choice is stored as a word, so that the file reads well and an
// unknown word falls back to the default.
constexpr std::array<std::pair<postcard::Honorific, std::string_view>, 4> HONORIFICS{{
    {postcard::Honorific::Sama, "sama"},
    {postcard::Honorific::Dono, "dono"},
    {postcard::Honorific::Onchu, "onchu"},
    {postcard::Honorific::None, "none"},
}};
constexpr std::array<std::pair<postcard::Numerals, std::string_view>, 2> NUMERALS{{
    {postcard::Numerals::Kanji, "kanji"},
    {postcard::Numerals::Arabic, "arabic"},
}};
constexpr std::array<std::pair<postcard::Typeface, std::string_view>, 2> TYPEFACES{{
    {postcard::Typeface::Mincho, "mincho"},
    {postcard::Typeface::Gothic, "gothic"},
}};

const QString GROUP = QStringLiteral("hagaki");

QSettings OpenSettings()
{
    // The native format is a text file on Linux: kanaroku/kanaroku.conf.
    return QSettings(QSettings::UserScope, QStringLiteral("kanaroku"), QStringLiteral("kanaroku"));
}

template <typename T, std::size_t N>
T ReadWord(const QSettings& settings, const QString& key, const std::array<std::pair<T, std::string_view>, N>& words,
           T fallback)
{
    const std::string word = settings.value(key).toString().toStdString();
    for (const auto& [value, name] : words) {
        if (name == word)
            return value;
    }
    return fallback;
}

template <typename T, std::size_t N>
QString WordOf(T value, const std::array<std::pair<T, std::string_view>, N>& words)
{
    for (const auto& [candidate, name] : words) {
        if (candidate == value)
            return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    }
    return {};
}

double ReadOffset(const QSettings& settings, const QString& key)
{
    bool ok = false;
    const double offset = settings.value(key).toString().toDouble(&ok);
    if (!ok || !std::isfinite(offset) || std::abs(offset) > postcard::MAX_OFFSET)
        return 0;
    return std::round(offset * 10) / 10;  // the dialog's steps
}

}  // namespace

std::string SettingsFilePath()
{
    return OpenSettings().fileName().toStdString();
}

Choices LoadChoices()
{
    QSettings settings = OpenSettings();
    Choices choices;
    if (settings.status() != QSettings::NoError)
        return choices;
    settings.beginGroup(GROUP);
    choices.senderName = settings.value(QStringLiteral("sender")).toString().toStdString();
    choices.honorific = ReadWord(settings, QStringLiteral("honorific"), HONORIFICS, choices.honorific);
    choices.numerals = ReadWord(settings, QStringLiteral("numerals"), NUMERALS, choices.numerals);
    choices.typeface = ReadWord(settings, QStringLiteral("font"), TYPEFACES, choices.typeface);
    choices.frames = settings.value(QStringLiteral("frames")).toString() == QStringLiteral("true");
    choices.offsetX = ReadOffset(settings, QStringLiteral("offsetX"));
    choices.offsetY = ReadOffset(settings, QStringLiteral("offsetY"));
    for (const QString& name : settings.value(QStringLiteral("unchecked")).toStringList())
        choices.unchecked.insert(name.toStdString());
    return choices;
}

void SaveChoices(const Choices& choices)
{
    QSettings settings = OpenSettings();
    settings.beginGroup(GROUP);
    settings.setValue(QStringLiteral("sender"), QString::fromStdString(choices.senderName));
    settings.setValue(QStringLiteral("honorific"), WordOf(choices.honorific, HONORIFICS));
    settings.setValue(QStringLiteral("numerals"), WordOf(choices.numerals, NUMERALS));
    settings.setValue(QStringLiteral("font"), WordOf(choices.typeface, TYPEFACES));
    settings.setValue(QStringLiteral("frames"), choices.frames);
    settings.setValue(QStringLiteral("offsetX"), choices.offsetX);
    settings.setValue(QStringLiteral("offsetY"), choices.offsetY);
    QStringList unchecked;
    for (const std::string& name : choices.unchecked)
        unchecked.append(QString::fromStdString(name));
    settings.setValue(QStringLiteral("unchecked"), unchecked);
}

}  // namespace printdlg
