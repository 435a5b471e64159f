#include "EditBox.h"

#include "SjisText.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QValidator>

#include <algorithm>

namespace {

// The byte length of text that may hold characters set by the program that
// Shift_JIS cannot hold (U+FFFD for undecodable bytes); each of those counts
// as a double-byte character.
int LenientByteLength(const QString& text)
{
    if (const std::optional<int> length = sjis::ByteLength(text))
        return *length;
    int length = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype width = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        length += sjis::ByteLength(text.mid(i, width)).value_or(2);
        i += width - 1;
    }
    return length;
}

// The part of `after` that replaced a part of `before`, never cutting a
// surrogate pair in two.
QString InsertedPart(const QString& before, const QString& after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    if (prefix > 0 && after[prefix - 1].isHighSurrogate())
        --prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    if (suffix > 0 && after[after.size() - suffix].isLowSurrogate())
        --suffix;
    return after.mid(prefix, after.size() - prefix - suffix);
}

}  // namespace

bool IsAllowedEdit(const QString& before, const QString& after, int byteLimit)
{
    const QString inserted = InsertedPart(before, after);
    if (inserted.contains(QLatin1Char(',')))
        return false;
    if (!inserted.isEmpty() && !sjis::ByteLength(inserted))
        return false;
    if (byteLimit <= 0)
        return true;
    // Shortening is always allowed, even while the program's text is longer
    // than the limit.
    const int afterLength = LenientByteLength(after);
    return afterLength <= byteLimit || afterLength <= LenientByteLength(before);
}

// Judges each change against the text the edit held before it; QLineEdit
// undoes a change the guard calls invalid.
class EditBox::Guard final : public QValidator {
public:
    explicit Guard(QLineEdit* edit) : QValidator(edit)
    {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_before = text; });
    }

    State validate(QString& input, int& /*position*/) const override
    {
        if (m_trusted)
            return Acceptable;
        if (m_asciiDigits)
            ToAsciiDigits(input);
        return IsAllowedEdit(m_before, input, m_byteLimit) ? Acceptable : Invalid;
    }

    static void ToAsciiDigits(QString& text)
    {
        for (QChar& ch : text) {
            if (ch >= QChar(0xFF10) && ch <= QChar(0xFF19))
                ch = QChar(u'0' + (ch.unicode() - 0xFF10));
        }
    }

    int m_byteLimit = 0;
    bool m_asciiDigits = false;
    // Undo and redo go back to texts that were taken before.
    bool m_trusted = false;

private:
    QString m_before;
};

EditBox::EditBox(QWidget* parent) : QLineEdit(parent), m_guard(new Guard(this))
{
    setValidator(m_guard);
    // The frame already keeps text off the border; Qt's own text margin on
    // top of it cuts the last digit of the narrow postal-code and date boxes.
    setTextMargins(-2, 0, -2, 0);
}

void EditBox::SetByteLimit(int bytes) noexcept
{
    m_guard->m_byteLimit = std::max(bytes, 0);
}

void EditBox::SetLatinInput()
{
    setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    m_guard->m_asciiDigits = true;
}

void EditBox::SetProgramBytes(std::string_view bytes)
{
    m_programBytes = bytes;
    m_programText = sjis::ToQString(bytes);
    // QLineEdit checks even text set by the program; the guard must see
    // neither it nor a failure it would remember.
    setValidator(nullptr);
    setText(m_programText);
    setValidator(m_guard);
}

std::optional<std::string> EditBox::Bytes() const
{
    if (text() == m_programText)
        return m_programBytes;
    return sjis::FromQString(text());
}

void EditBox::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A menu popping up does not take the focus from the edit for good.
    if (event->reason() != Qt::PopupFocusReason && m_onFocusLost)
        m_onFocusLost();
}

void EditBox::keyPressEvent(QKeyEvent* event)
{
    const bool history = event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo);
    m_guard->m_trusted = history;
    QLineEdit::keyPressEvent(event);
    m_guard->m_trusted = false;
}

void EditBox::inputMethodEvent(QInputMethodEvent* event)
{
    const QString before = text();
    QLineEdit::inputMethodEvent(event);
    // The guard may have refused the commit: then the text stayed as it was.
    const QString committed = text() != before ? event->commitString() : QString();
    const qsizetype end = std::clamp<qsizetype>(cursorPosition(), committed.size(), text().size());
    m_composition = {event->preeditString(), committed, text().left(end - committed.size())};
    if (m_onComposition)
        m_onComposition();
}
