#pragma once

#include "CardBook.h"
#include "CardChoices.h"

#include <QDialog>
#include <QPrinter>

#include <array>
#include <memory>
#include <string>
#include <variant>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPrintPreviewWidget;
class QPushButton;

namespace printdlg {

// Puts people into the order of the name list: kana row, reading, name.
void SortAsListed(std::vector<postcard::BookPerson>& people);

// Sets a printer (or the preview's) to postcard paper, the whole sheet.
void SetPostcardPage(QPrinter& printer);

// The preview draws on this printer until its widget is gone: a base
// class, so that it outlives the dialog's child widgets.
struct PreviewPrinter {
    PreviewPrinter() { SetPostcardPage(previewPrinter); }
    QPrinter previewPrinter;
};

// はがきの宛名を印刷: who gets a card, the sender and the options, a preview
// of the cards, and printing them or saving them as a PDF. The choices are
// remembered in the application's settings.
class PrintCardsDialog : private PreviewPrinter, public QDialog {
public:
    // shown: the people the name list shows, in its order; book: everyone
    // in the file's order, the senders to choose from.
    PrintCardsDialog(std::vector<postcard::BookPerson> shown, std::vector<postcard::BookPerson> book,
                     QWidget* parent = nullptr);
    ~PrintCardsDialog() override;
    PrintCardsDialog(const PrintCardsDialog&) = delete;
    PrintCardsDialog& operator=(const PrintCardsDialog&) = delete;

private:
    using Card = std::variant<postcard::CardLayout, postcard::Refusal>;

    void BuildControls();
    QWidget* BuildOptions();
    QWidget* BuildPreview();
    void ShowChoices();
    void ConnectControls();
    void ReadChoices();
    void OptionsChanged();
    void PersonToggled(QListWidgetItem* item);
    void LayOutCards();
    void ShowPeople();
    void ShowPreviewPage();
    [[nodiscard]] postcard::CardOptions Options() const;
    [[nodiscard]] const postcard::CardFont* Font();
    [[nodiscard]] std::vector<const postcard::CardLayout*> ChosenCards() const;
    [[nodiscard]] postcard::CardRun Summary(int cards) const;
    bool PaintCards(QPrinter& printer, int fromCard, int toCard);
    void Print();
    void SavePdf();

    std::vector<postcard::BookPerson> m_shown;
    std::vector<postcard::BookPerson> m_book;
    std::vector<std::string> m_senders;         // the names the sender list offers, after なし
    std::vector<std::string> m_codeMismatches;  // one per shown person, empty when none
    Choices m_choices;
    std::array<std::unique_ptr<postcard::CardFont>, 2> m_fonts;
    std::vector<Card> m_cards;               // one per shown person
    std::string m_noCards;                   // why no card can be made at all
    std::vector<std::string> m_senderNotes;  // what the sender's part lacks
    bool m_showing = false;                  // controls being set, not changed by the user

    QListWidget* m_people = nullptr;
    QComboBox* m_sender = nullptr;
    QComboBox* m_honorific = nullptr;
    QButtonGroup* m_numerals = nullptr;
    QButtonGroup* m_typeface = nullptr;
    QCheckBox* m_frames = nullptr;
    QDoubleSpinBox* m_offsetX = nullptr;
    QDoubleSpinBox* m_offsetY = nullptr;
    QPrintPreviewWidget* m_preview = nullptr;
    QLabel* m_page = nullptr;
    QPushButton* m_previous = nullptr;
    QPushButton* m_next = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_save = nullptr;
};

}  // namespace printdlg
