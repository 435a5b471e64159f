#include "CardBook.h"

#include "AddressTable.h"
#include "CardPdf.h"
#include "ListOrder.h"
#include "RecordSchema.h"
#include "SjisCodec.h"
#include "Words.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>

namespace postcard {

namespace {

// A column of the person's record, as UTF-8.
std::string Text(const AddressRecord& record, int column)
{
    return sjis::DecodeToUtf8(record_field::TextView(record, COLUMNS[static_cast<std::size_t>(column)]));
}

// The people with one of the names (every one when none is given); the
// first name no one has, when there is one.
std::variant<std::vector<const BookPerson*>, std::string> Chosen(const std::vector<BookPerson>& book,
                                                                 const std::vector<std::string>& names)
{
    std::vector<const BookPerson*> chosen;
    std::set<std::string> wanted(names.begin(), names.end());
    std::set<std::string> found;
    for (const BookPerson& person : book) {
        const std::string name = NameOf(person.record);
        if (names.empty() || wanted.contains(name)) {
            chosen.push_back(&person);
            found.insert(name);
        }
    }
    for (const std::string& name : names) {
        if (!found.contains(name))
            return name;
    }
    return chosen;
}

// The sender: the first person in the file with the name.
const BookPerson* FirstNamed(const std::vector<BookPerson>& fileOrder, const std::string& name)
{
    const auto person =
        std::find_if(fileOrder.begin(), fileOrder.end(), [&](const BookPerson& p) { return NameOf(p.record) == name; });
    return person == fileOrder.end() ? nullptr : &*person;
}

CardRun Failed(std::string reason)
{
    CardRun run;
    run.failure = std::move(reason);
    return run;
}

struct Book {
    std::vector<BookPerson> fileOrder;
    std::vector<BookPerson> listOrder;
};

std::variant<Book, BookFailure> ReadBothOrders()
{
    Book book;
    CAddressTable table;
    AddressRecord record{};
    for (int more = table.GetFirst(record, KANAROW_ALL); more; more = table.GetNext(record, KANAROW_ALL))
        book.fileOrder.push_back(BookPerson{record, table.LastScan().kanaRow});
    const ScanStatus& status = table.LastScan();
    if (status.end == ScanEnd::OpenFailed)
        return BookFailure{vcard::words::CannotOpenDataFile()};
    if (status.end == ScanEnd::MalformedLine && status.dataHidden)
        return BookFailure{vcard::words::MalformedLine(status)};
    const ListOrder order;
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(book.fileOrder.size());
    for (std::size_t i = 0; i < book.fileOrder.size(); ++i) {
        const AddressRecord& person = book.fileOrder[i].record;
        keys.emplace_back(order.Key(book.fileOrder[i].kanaRow, record_field::TextView(person, COLUMNS[COL_READING]),
                                    record_field::TextView(person, COLUMNS[COL_NAME])),
                          i);
    }
    std::sort(keys.begin(), keys.end());
    book.listOrder.reserve(keys.size());
    for (const auto& [key, index] : keys)
        book.listOrder.push_back(book.fileOrder[index]);
    return book;
}

}  // namespace

std::variant<std::vector<BookPerson>, BookFailure> ReadBook()
{
    auto book = ReadBothOrders();
    if (const BookFailure* failure = std::get_if<BookFailure>(&book))
        return *failure;
    return std::move(std::get<Book>(book).listOrder);
}

CardPerson PersonOf(const AddressRecord& record)
{
    return CardPerson{NameOf(record), Text(record, COL_ADDRESS1), Text(record, COL_ADDRESS2), Text(record, COL_ZIP1),
                      Text(record, COL_ZIP2)};
}

std::string NameOf(const AddressRecord& record)
{
    return Text(record, COL_NAME);
}

CardRun WriteBookCards(const CardRequest& request)
{
    auto read = ReadBothOrders();
    if (const BookFailure* failure = std::get_if<BookFailure>(&read))
        return Failed(failure->reason);
    const Book& book = std::get<Book>(read);
    CardOptions options = request.options;
    if (!request.senderName.empty()) {
        const BookPerson* sender = FirstNamed(book.fileOrder, request.senderName);
        if (!sender)
            return Failed("差出人 " + request.senderName + " は " + ADDRESS_TABLE_FILE + " にいません");
        options.sender = PersonOf(sender->record);
    }
    const auto chosen = Chosen(book.listOrder, request.names);
    if (const std::string* unknown = std::get_if<std::string>(&chosen))
        return Failed(*unknown + " という名前の人は " + ADDRESS_TABLE_FILE + " にいません");
    const std::unique_ptr<CardFont> font = CardFont::Load(options.typeface);
    if (!font)
        return Failed(options.typeface == Typeface::Gothic ? "フォント IPAexゴシック がありません"
                                                           : "フォント IPAex明朝 がありません");
    CardRun run;
    const auto sender = LayOutSender(options, *font);
    if (const Refusal* refusal = std::get_if<Refusal>(&sender))
        return Failed(refusal->reason);
    for (const std::string& note : std::get<CardLayout>(sender).notes)
        run.lines.push_back({request.senderName, note});
    std::vector<CardLayout> cards;
    for (const BookPerson* person : std::get<std::vector<const BookPerson*>>(chosen)) {
        auto card = LayOutCard(PersonOf(person->record), options, *font);
        const std::string who = NameOf(person->record);
        if (const Refusal* refusal = std::get_if<Refusal>(&card)) {
            ++run.leftOut;
            run.lines.push_back({who, refusal->reason});
            continue;
        }
        for (const std::string& note : std::get<CardLayout>(card).notes)
            run.lines.push_back({who, note});
        cards.push_back(std::move(std::get<CardLayout>(card)));
    }
    if (cards.empty()) {
        run.failure = "はがきにできる人がいません";
        return run;
    }
    run.failure = WriteCardsPdf(request.path, cards, *font, options);
    run.written = run.failure.empty();
    run.cards = run.written ? static_cast<int>(cards.size()) : 0;
    return run;
}

std::string SummaryText(const CardRun& run, const std::string& path, std::size_t maxLines)
{
    std::string text;
    if (run.written)
        text = path + " にはがき " + std::to_string(run.cards) + " 枚を書きました。\n";
    else
        text = "はがきを書けませんでした: " + run.failure + "\n";
    if (run.leftOut > 0)
        text += "はがきにしなかった人: " + std::to_string(run.leftOut) + " 人\n";
    const std::size_t shown = std::min(maxLines, run.lines.size());
    for (std::size_t i = 0; i < shown; ++i)
        text += "  " + run.lines[i].who + ": " + run.lines[i].what + "\n";
    if (shown < run.lines.size())
        text += "  他 " + std::to_string(run.lines.size() - shown) + " 件\n";
    return text;
}

}  // namespace postcard
