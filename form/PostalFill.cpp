#include "PostalFill.h"

#include "Dialog.h"
#include "RecordSchema.h"
#include "Resources.h"
#include "ShiftJis.h"
#include "SjisCodec.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>

#include <algorithm>

namespace {

// Bytes the data file keeps of an address line, and the digits of the two
// halves of a postal code.
constexpr auto ADDRESS_LIMIT = static_cast<std::size_t>(COLUMNS[COL_ADDRESS1].TextLimit());
constexpr auto ZIP1_LENGTH = static_cast<std::size_t>(COLUMNS[COL_ZIP1].editLimit);
constexpr auto ZIP2_LENGTH = static_cast<std::size_t>(COLUMNS[COL_ZIP2].editLimit);

bool AllDigits(const std::string& text, std::size_t length)
{
    return text.size() == length && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The address as line 1 can hold it: characters the file cannot hold (a
// comma separates its fields) refuse it, the byte limit cuts it on a
// whole character.
std::optional<std::string> AsLineOne(const std::string& utf8)
{
    if (utf8.find_first_of(",\r\n") != std::string::npos)
        return std::nullopt;
    std::optional<std::string> sjis = sjis::EncodeFromUtf8(utf8);
    if (sjis)
        sjis->resize(sjis::FitLength(sjis->data(), sjis->size(), ADDRESS_LIMIT));
    return sjis;
}

}  // namespace

// Calls back when the edit loses the focus to another control (not to a
// popup of its own).
class PostalFill::FocusLeft final : public QObject {
public:
    explicit FocusLeft(std::function<void()> left) : m_left(std::move(left)) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            m_left();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_left;
};

PostalFill::PostalFill(CDialog& dialog) : m_hooks(std::make_unique<FocusLeft>([this] { FillCode(); }))
{
    m_zip1.Attach(dialog, IDC_ZIP1);
    m_zip2.Attach(dialog, IDC_ZIP2);
    m_address.Attach(dialog, IDC_ADDRESS1);
    // Only what the user types: a person shown fills nothing.
    for (const CEdit* zip : {&m_zip1, &m_zip2}) {
        if (zip->Widget() != nullptr)
            QObject::connect(zip->Widget(), &QLineEdit::textEdited, m_hooks.get(), [this] { FillAddress(); });
    }
    if (m_address.Widget() != nullptr)
        m_address.Widget()->installEventFilter(m_hooks.get());
}

// Destroying the hooks disconnects them and takes the filter off the edit.
PostalFill::~PostalFill() = default;

void PostalFill::Reset()
{
    m_choices.Hide();
    m_filledAddress.clear();
}

bool PostalFill::AddressIsOurs() const
{
    const std::optional<std::string> line = m_address.GetWindowText();
    return line && (line->empty() || *line == m_filledAddress);
}

void PostalFill::FillAddress()
{
    const std::string zip1 = m_zip1.GetWindowText().value_or(std::string());
    const std::string zip2 = m_zip2.GetWindowText().value_or(std::string());
    m_choices.Hide();
    if (!AllDigits(zip1, ZIP1_LENGTH) || !AllDigits(zip2, ZIP2_LENGTH) || !AddressIsOurs())
        return;
    std::vector<std::string> choices;
    for (const std::string& address : m_dictionary.Addresses(zip1 + zip2)) {
        if (const std::optional<std::string> line = AsLineOne(address))
            choices.push_back(*line);
    }
    if (choices.size() == 1)
        TakeAddress(choices.front());
    else if (choices.size() > 1)
        m_choices.Show(m_address, choices, [this](const std::string& chosen) {
            if (AddressIsOurs())
                TakeAddress(chosen);
        });
}

void PostalFill::TakeAddress(const std::string& sjisAddress)
{
    m_address.SetWindowText(sjisAddress);
    m_filledAddress = sjisAddress;
}

void PostalFill::FillCode()
{
    if (m_choices.IsVisible())
        return;
    const std::optional<std::string> line = m_address.GetWindowText();
    if (!line || line->empty() || m_zip1.GetWindowText() != std::string() || m_zip2.GetWindowText() != std::string())
        return;
    const std::vector<std::string> codes = m_dictionary.Codes(sjis::DecodeToUtf8(*line));
    if (codes.size() != 1)
        return;
    m_zip1.SetWindowText(codes.front().substr(0, ZIP1_LENGTH));
    m_zip2.SetWindowText(codes.front().substr(ZIP1_LENGTH, ZIP2_LENGTH));
}
