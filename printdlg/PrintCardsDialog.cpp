#include "PrintCardsDialog.h"

#include "CardPainter.h"
#include "CardPdf.h"
#include "CodeCheck.h"
#include "FileDialog.h"
#include "ListOrder.h"
#include "MessageBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

namespace printdlg {

namespace {

const QString TITLE = QStringLiteral("はがきの宛名を印刷");
const QString PDF_TITLE = QStringLiteral("PDF に保存");
const QString PDF_FILTER = QStringLiteral("PDF (*.pdf)");

// The choices offered, in the order shown, with the text of each.
const std::array<std::pair<postcard::Honorific, QString>, 4> HONORIFICS{{
    {postcard::Honorific::Sama, QStringLiteral("様")},
    {postcard::Honorific::Dono, QStringLiteral("殿")},
    {postcard::Honorific::Onchu, QStringLiteral("御中")},
    {postcard::Honorific::None, QStringLiteral("なし")},
}};
const std::array<std::pair<postcard::Numerals, QString>, 2> NUMERALS{{
    {postcard::Numerals::Kanji, QStringLiteral("漢数字")},
    {postcard::Numerals::Arabic, QStringLiteral("算用数字")},
}};
const std::array<std::pair<postcard::Typeface, QString>, 2> TYPEFACES{{
    {postcard::Typeface::Mincho, QStringLiteral("明朝")},
    {postcard::Typeface::Gothic, QStringLiteral("ゴシック")},
}};

std::string_view Field(const char* field, std::size_t width)
{
    return {field, ::strnlen(field, width)};
}

QString NameOf(const postcard::BookPerson& person)
{
    return QString::fromStdString(postcard::NameOf(person.record));
}

// A group box of radio buttons, one per choice, with the choice's index
// as the button's id.
template <typename T, std::size_t N>
QGroupBox* RadioGroup(const QString& title, const std::array<std::pair<T, QString>, N>& choices, QButtonGroup*& group,
                      QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    box->setAccessibleName(title);
    auto* layout = new QHBoxLayout(box);
    group = new QButtonGroup(box);
    for (std::size_t i = 0; i < N; ++i) {
        auto* button = new QRadioButton(choices[i].second, box);
        button->setAccessibleName(choices[i].second);
        button->setAccessibleDescription(title);
        group->addButton(button, static_cast<int>(i));
        layout->addWidget(button);
    }
    layout->addStretch();
    return box;
}

template <typename T, std::size_t N>
int IndexOf(T value, const std::array<std::pair<T, QString>, N>& choices)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (choices[i].first == value)
            return static_cast<int>(i);
    }
    return 0;
}

QDoubleSpinBox* OffsetBox(const QString& name, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(-postcard::MAX_OFFSET, postcard::MAX_OFFSET);
    box->setSingleStep(0.1);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" mm"));
    box->setAccessibleName(name);
    return box;
}

// Qt's compound controls (a spin box's edit, the preview's view) take the
// focus in inner widgets: those are named after their control.
void NameInnerWidgets(QWidget* dialog)
{
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
        if (control->accessibleName().isEmpty())
            continue;
        for (QWidget* inner : control->findChildren<QWidget*>()) {
            if (inner->focusPolicy() != Qt::NoFocus && inner->accessibleName().isEmpty())
                inner->setAccessibleName(control->accessibleName());
        }
    }
}

QPushButton* Button(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

void SortAsListed(std::vector<postcard::BookPerson>& people)
{
    const ListOrder order;
    std::vector<std::pair<std::string, postcard::BookPerson>> keyed;
    keyed.reserve(people.size());
    for (postcard::BookPerson& person : people) {
        const AddressRecord& record = person.record;
        keyed.emplace_back(order.Key(person.kanaRow, Field(record.reading, sizeof record.reading),
                                     Field(record.name, sizeof record.name)),
                           std::move(person));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    people.clear();
    for (auto& entry : keyed)
        people.push_back(std::move(entry.second));
}

void SetPostcardPage(QPrinter& printer)
{
    printer.setPageSize(QPageSize(QPageSize::Postcard));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

PrintCardsDialog::PrintCardsDialog(std::vector<postcard::BookPerson> shown, std::vector<postcard::BookPerson> book,
                                   QWidget* parent)
    : QDialog(parent), m_shown(std::move(shown)), m_book(std::move(book)), m_codeMismatches(CodeMismatches(m_shown)),
      m_choices(LoadChoices())
{
    setWindowTitle(TITLE);
    setAccessibleName(TITLE);
    BuildControls();
    ShowChoices();
    ConnectControls();
    LayOutCards();
    ShowPeople();
}

PrintCardsDialog::~PrintCardsDialog() = default;

void PrintCardsDialog::BuildControls()
{
    auto* people = new QLabel(QStringLiteral("宛先"), this);
    m_people = new QListWidget(this);
    m_people->setAccessibleName(people->text());
    people->setBuddy(m_people);
    for (const postcard::BookPerson& person : m_shown) {
        auto* item = new QListWidgetItem(NameOf(person), m_people);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    }
    auto* left = new QVBoxLayout;
    left->addWidget(people);
    left->addWidget(m_people, 1);
    left->addWidget(BuildOptions());

    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(BuildPreview(), 1);

    m_status = new QLabel(this);
    m_print = Button(QStringLiteral("印刷…"), this);
    m_print->setDefault(true);
    m_save = Button(QStringLiteral("PDF に保存…"), this);
    QPushButton* close = Button(QStringLiteral("閉じる"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_status, 1);
    buttons->addWidget(m_print);
    buttons->addWidget(m_save);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    NameInnerWidgets(this);
    resize(860, 620);
}

QWidget* PrintCardsDialog::BuildOptions()
{
    auto* options = new QWidget(this);
    auto* form = new QFormLayout(options);
    form->setContentsMargins(0, 0, 0, 0);
    m_sender = new QComboBox(options);
    m_sender->addItem(QStringLiteral("なし"));
    std::vector<postcard::BookPerson> listed = m_book;
    SortAsListed(listed);
    std::set<std::string> seen;
    for (const postcard::BookPerson& person : listed) {
        std::string name = postcard::NameOf(person.record);
        if (!name.empty() && seen.insert(name).second) {
            m_sender->addItem(QString::fromStdString(name));
            m_senders.push_back(std::move(name));
        }
    }
    m_sender->setAccessibleName(QStringLiteral("差出人"));
    form->addRow(QStringLiteral("差出人"), m_sender);
    m_honorific = new QComboBox(options);
    for (const auto& [honorific, text] : HONORIFICS)
        m_honorific->addItem(text);
    m_honorific->setAccessibleName(QStringLiteral("敬称"));
    form->addRow(QStringLiteral("敬称"), m_honorific);
    form->addRow(RadioGroup(QStringLiteral("数字"), NUMERALS, m_numerals, options));
    form->addRow(RadioGroup(QStringLiteral("書体"), TYPEFACES, m_typeface, options));
    m_frames = new QCheckBox(QStringLiteral("枠も印刷する"), options);
    m_frames->setAccessibleName(m_frames->text());
    form->addRow(m_frames);
    auto* offset = new QGroupBox(QStringLiteral("印刷位置の調整"), options);
    offset->setAccessibleName(offset->title());
    auto* offsetForm = new QFormLayout(offset);
    m_offsetX = OffsetBox(QStringLiteral("印刷位置の調整 X (右へ mm)"), offset);
    m_offsetY = OffsetBox(QStringLiteral("印刷位置の調整 Y (下へ mm)"), offset);
    offsetForm->addRow(QStringLiteral("X (右へ)"), m_offsetX);
    offsetForm->addRow(QStringLiteral("Y (下へ)"), m_offsetY);
    form->addRow(offset);
    return options;
}

QWidget* PrintCardsDialog::BuildPreview()
{
    auto* box = new QGroupBox(QStringLiteral("プレビュー"), this);
    box->setAccessibleName(box->title());
    m_preview = new QPrintPreviewWidget(&previewPrinter, box);
    m_preview->setAccessibleName(QStringLiteral("はがきのプレビュー"));
    m_preview->setViewMode(QPrintPreviewWidget::SinglePageView);
    m_preview->setZoomMode(QPrintPreviewWidget::FitInView);
    m_preview->setMinimumSize(300, 400);
    m_previous = Button(QStringLiteral("前のはがき"), box);
    m_next = Button(QStringLiteral("次のはがき"), box);
    m_page = new QLabel(box);
    m_page->setAlignment(Qt::AlignCenter);
    auto* pages = new QHBoxLayout;
    pages->addWidget(m_previous);
    pages->addWidget(m_page, 1);
    pages->addWidget(m_next);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(m_preview, 1);
    layout->addLayout(pages);
    return box;
}

void PrintCardsDialog::ShowChoices()
{
    m_showing = true;
    const auto sender = std::find(m_senders.begin(), m_senders.end(), m_choices.senderName);
    m_sender->setCurrentIndex(sender == m_senders.end() ? 0 : static_cast<int>(sender - m_senders.begin()) + 1);
    m_honorific->setCurrentIndex(IndexOf(m_choices.honorific, HONORIFICS));
    m_numerals->button(IndexOf(m_choices.numerals, NUMERALS))->setChecked(true);
    m_typeface->button(IndexOf(m_choices.typeface, TYPEFACES))->setChecked(true);
    m_frames->setChecked(m_choices.frames);
    m_offsetX->setValue(m_choices.offsetX);
    m_offsetY->setValue(m_choices.offsetY);
    m_showing = false;
}

void PrintCardsDialog::ConnectControls()
{
    const auto changed = [this] { OptionsChanged(); };
    connect(m_sender, &QComboBox::currentIndexChanged, this, changed);
    connect(m_honorific, &QComboBox::currentIndexChanged, this, changed);
    connect(m_numerals, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            OptionsChanged();
    });
    connect(m_typeface, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            OptionsChanged();
    });
    connect(m_frames, &QCheckBox::toggled, this, changed);
    connect(m_offsetX, &QDoubleSpinBox::valueChanged, this, changed);
    connect(m_offsetY, &QDoubleSpinBox::valueChanged, this, changed);
    connect(m_people, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) { PersonToggled(item); });
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { (void)PaintCards(*printer, 0, 0); });
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this, [this] { ShowPreviewPage(); });
    const auto turn = [this](int pages) {
        m_preview->setCurrentPage(m_preview->currentPage() + pages);
        ShowPreviewPage();
    };
    connect(m_previous, &QPushButton::clicked, this, [turn] { turn(-1); });
    connect(m_next, &QPushButton::clicked, this, [turn] { turn(1); });
    connect(m_print, &QPushButton::clicked, this, [this] { Print(); });
    connect(m_save, &QPushButton::clicked, this, [this] { SavePdf(); });
}

void PrintCardsDialog::ReadChoices()
{
    const int sender = m_sender->currentIndex();
    m_choices.senderName = sender <= 0 ? std::string() : m_senders[static_cast<std::size_t>(sender - 1)];
    m_choices.honorific = HONORIFICS[static_cast<std::size_t>(std::max(0, m_honorific->currentIndex()))].first;
    m_choices.numerals = NUMERALS[static_cast<std::size_t>(std::max(0, m_numerals->checkedId()))].first;
    m_choices.typeface = TYPEFACES[static_cast<std::size_t>(std::max(0, m_typeface->checkedId()))].first;
    m_choices.frames = m_frames->isChecked();
    m_choices.offsetX = m_offsetX->value();
    m_choices.offsetY = m_offsetY->value();
}

void PrintCardsDialog::OptionsChanged()
{
    if (m_showing)
        return;
    ReadChoices();
    SaveChoices(m_choices);
    LayOutCards();
    ShowPeople();
}

void PrintCardsDialog::PersonToggled(QListWidgetItem* item)
{
    if (m_showing || !(item->flags() & Qt::ItemIsEnabled))
        return;
    const std::string name = item->text().toStdString();
    if (item->checkState() == Qt::Checked)
        m_choices.unchecked.erase(name);
    else
        m_choices.unchecked.insert(name);
    SaveChoices(m_choices);
    // Everyone with that name goes with the one clicked, as a name stands for all of them.
    ShowPeople();
}

postcard::CardOptions PrintCardsDialog::Options() const
{
    postcard::CardOptions options;
    options.honorific = m_choices.honorific;
    options.numerals = m_choices.numerals;
    options.typeface = m_choices.typeface;
    options.frames = m_choices.frames;
    options.offsetX = m_choices.offsetX;
    options.offsetY = m_choices.offsetY;
    if (!m_choices.senderName.empty()) {
        // The first in the file with the name, as kanaroku-hagaki --sender takes it.
        for (const postcard::BookPerson& person : m_book) {
            if (postcard::NameOf(person.record) == m_choices.senderName) {
                options.sender = postcard::PersonOf(person.record);
                break;
            }
        }
    }
    return options;
}

const postcard::CardFont* PrintCardsDialog::Font()
{
    const auto index = static_cast<std::size_t>(IndexOf(m_choices.typeface, TYPEFACES));
    if (!m_fonts[index])
        m_fonts[index] = postcard::CardFont::Load(m_choices.typeface);
    return m_fonts[index].get();
}

void PrintCardsDialog::LayOutCards()
{
    m_cards.clear();
    m_noCards.clear();
    m_senderNotes.clear();
    const postcard::CardFont* font = Font();
    if (!font) {
        m_noCards = m_choices.typeface == postcard::Typeface::Gothic ? "フォント IPAexゴシック がありません"
                                                                     : "フォント IPAex明朝 がありません";
        return;
    }
    const postcard::CardOptions options = Options();
    const auto sender = postcard::LayOutSender(options, *font);
    if (const auto* refusal = std::get_if<postcard::Refusal>(&sender)) {
        m_noCards = refusal->reason;
        return;
    }
    m_senderNotes = std::get<postcard::CardLayout>(sender).notes;
    m_cards.reserve(m_shown.size());
    for (const postcard::BookPerson& person : m_shown)
        m_cards.push_back(postcard::LayOutCard(postcard::PersonOf(person.record), options, *font));
}

void PrintCardsDialog::ShowPeople()
{
    m_showing = true;
    for (int row = 0; row < m_people->count(); ++row) {
        QListWidgetItem* item = m_people->item(row);
        const auto index = static_cast<std::size_t>(row);
        const postcard::Refusal* refusal =
            index < m_cards.size() ? std::get_if<postcard::Refusal>(&m_cards[index]) : nullptr;
        // Why there is no card, and a postal code that does not belong to the address.
        QStringList notes;
        if (refusal || index >= m_cards.size())
            notes.append(QString::fromStdString(refusal ? refusal->reason : m_noCards));
        if (!m_codeMismatches[index].empty())
            notes.append(QString::fromStdString(m_codeMismatches[index]));
        const QString reason = notes.join(u'\n');
        item->setIcon(m_codeMismatches[index].empty() ? QIcon() : style()->standardIcon(QStyle::SP_MessageBoxWarning));
        const bool printable = index < m_cards.size() && !refusal;
        item->setFlags(printable ? item->flags() | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable
                                 : item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable));
        const bool checked = printable && !m_choices.unchecked.contains(item->text().toStdString());
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        item->setToolTip(reason);
        item->setData(Qt::AccessibleDescriptionRole, reason);
    }
    m_showing = false;
    const std::size_t cards = ChosenCards().size();
    const auto refused = std::count_if(m_cards.begin(), m_cards.end(), [](const Card& card) {
        return std::holds_alternative<postcard::Refusal>(card);
    });
    QString status = QStringLiteral("はがき %1 枚").arg(cards);
    if (refused > 0)
        status += QStringLiteral("（はがきにできない人 %1 人: 理由は名前のヒントに表示）").arg(refused);
    m_status->setText(m_noCards.empty() ? status : QString::fromStdString(m_noCards));
    m_print->setEnabled(cards > 0);
    m_save->setEnabled(cards > 0);
    m_preview->updatePreview();
}

void PrintCardsDialog::ShowPreviewPage()
{
    const int cards = static_cast<int>(ChosenCards().size());
    const int page = m_preview->currentPage();
    m_page->setText(cards == 0 ? QStringLiteral("はがきなし") : QStringLiteral("%1 / %2 枚目").arg(page).arg(cards));
    m_previous->setEnabled(page > 1);
    m_next->setEnabled(page < cards);
}

std::vector<const postcard::CardLayout*> PrintCardsDialog::ChosenCards() const
{
    std::vector<const postcard::CardLayout*> chosen;
    for (int row = 0; row < m_people->count(); ++row) {
        const auto index = static_cast<std::size_t>(row);
        if (index < m_cards.size() && m_people->item(row)->checkState() == Qt::Checked) {
            if (const auto* card = std::get_if<postcard::CardLayout>(&m_cards[index]))
                chosen.push_back(card);
        }
    }
    return chosen;
}

// The cards from..to (counted from 1; 0 for all) on the printer's pages.
bool PrintCardsDialog::PaintCards(QPrinter& printer, int fromCard, int toCard)
{
    const std::vector<const postcard::CardLayout*> cards = ChosenCards();
    const postcard::CardFont* font = Font();
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const postcard::CardOptions options = Options();
    const int first = std::max(1, fromCard);
    const int last = toCard <= 0 ? static_cast<int>(cards.size()) : std::min(toCard, static_cast<int>(cards.size()));
    for (int card = first; font && card <= last; ++card) {
        if (card > first)
            printer.newPage();
        postcard::DrawCard(painter, *cards[static_cast<std::size_t>(card - 1)], *font, options);
    }
    return painter.end();
}

// What the summary says after a run of that many cards: the people shown
// who got none, and what the cards written lack.
postcard::CardRun PrintCardsDialog::Summary(int cards) const
{
    postcard::CardRun run;
    run.written = true;
    run.cards = cards;
    for (const std::string& note : m_senderNotes)
        run.lines.push_back({m_choices.senderName, note});
    for (std::size_t i = 0; i < m_cards.size(); ++i) {
        const std::string who = postcard::NameOf(m_shown[i].record);
        if (const auto* refusal = std::get_if<postcard::Refusal>(&m_cards[i])) {
            ++run.leftOut;
            run.lines.push_back({who, refusal->reason});
        } else if (m_people->item(static_cast<int>(i))->checkState() == Qt::Checked) {
            for (const std::string& note : std::get<postcard::CardLayout>(m_cards[i]).notes)
                run.lines.push_back({who, note});
        }
    }
    return run;
}

void PrintCardsDialog::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    SetPostcardPage(printer);
    printer.setDocName(TITLE);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, static_cast<int>(ChosenCards().size()));  // a range counts cards
    if (dialog.exec() != QDialog::Accepted)
        return;
    printer.setFullPage(true);
    const bool all = printer.printRange() != QPrinter::PageRange;
    const int from = all ? 0 : printer.fromPage();
    const int to = all ? 0 : printer.toPage();
    if (!PaintCards(printer, from, to)) {
        ShowMessageBox(QStringLiteral("プリンタ %1 で印刷できませんでした。\n").arg(printer.printerName()), this);
        return;
    }
    const int count = static_cast<int>(ChosenCards().size());
    const int printed = all ? count : std::max(0, std::min(to, count) - std::max(1, from) + 1);
    const std::string file = printer.outputFileName().toStdString();  // the print dialog's "print to file"
    // The summary of a file, with the printer in the file's place when it went to one.
    std::string text = postcard::SummaryText(Summary(printed), file);
    if (file.empty()) {
        text.erase(0, text.find('\n') + 1);
        text = QStringLiteral("プリンタ %1 ではがき %2 枚を印刷しました。\n")
                   .arg(printer.printerName())
                   .arg(printed)
                   .toStdString()
               + text;
    }
    ShowMessageBox(QString::fromStdString(text), this);
}

void PrintCardsDialog::SavePdf()
{
    const auto path = AskFileName(this, FileDialogMode::Save, PDF_TITLE, PDF_FILTER, QStringLiteral("pdf"));
    if (!path)
        return;
    std::vector<postcard::CardLayout> cards;
    for (const postcard::CardLayout* card : ChosenCards())
        cards.push_back(*card);
    const postcard::CardFont* font = Font();
    postcard::CardRun run = Summary(static_cast<int>(cards.size()));
    run.failure = font ? postcard::WriteCardsPdf(path->string(), cards, *font, Options()) : m_noCards;
    run.written = run.failure.empty();
    run.cards = run.written ? run.cards : 0;
    ShowMessageBox(QString::fromStdString(postcard::SummaryText(run, path->string())), this);
}

}  // namespace printdlg
